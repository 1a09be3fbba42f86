#pragma once
// One description of a record's layout serves reading, writing and measuring it: each record type
// lists its fields in byte order in a static `fields(self, visit)`, and the visitors below walk
// that list over a byte span. Fields are u8, u16, u32, arrays of them, or nested field groups; a
// field may be listed with its name, `v(r.field, "name")`.

#include "rom/byte_io.hpp"

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace rom {

template <class T>
concept FieldGroup = requires(T& value) { T::fields(value, [](auto&, auto&&...) {}); };

namespace detail {

template <class Visit>
struct FieldWalker {
    Visit& visit;

    // A field's name is for the definition texts only.
    template <class Field>
    constexpr void operator()(Field& field, std::string_view) const
    {
        (*this)(field);
    }
    constexpr void operator()(std::uint8_t& field) const { visit(field); }
    constexpr void operator()(std::uint16_t& field) const { visit(field); }
    constexpr void operator()(std::uint32_t& field) const { visit(field); }
    template <class T, std::size_t N>
    constexpr void operator()(std::array<T, N>& fields) const
    {
        for (T& field : fields)
            (*this)(field);
    }
    template <FieldGroup T>
    constexpr void operator()(T& group) const
    {
        T::fields(group, *this);
    }
};

struct SizeCounter {
    std::size_t size = 0;
    constexpr void operator()(std::uint8_t&) { size += 1; }
    constexpr void operator()(std::uint16_t&) { size += 2; }
    constexpr void operator()(std::uint32_t&) { size += 4; }
};

struct FieldLoader {
    ByteSpan bytes;
    std::size_t position = 0;
    void operator()(std::uint8_t& field) { field = bytes[position++]; }
    void operator()(std::uint16_t& field)
    {
        field = loadU16(bytes, position);
        position += 2;
    }
    void operator()(std::uint32_t& field)
    {
        field = loadU32(bytes, position);
        position += 4;
    }
};

struct FieldStorer {
    MutableByteSpan bytes;
    std::size_t position = 0;
    void operator()(std::uint8_t& field) { bytes[position++] = field; }
    void operator()(std::uint16_t& field)
    {
        storeU16(bytes, position, field);
        position += 2;
    }
    void operator()(std::uint32_t& field)
    {
        storeU32(bytes, position, field);
        position += 4;
    }
};

template <FieldGroup Record, class Visit>
constexpr void walkFields(Record& record, Visit& visit)
{
    FieldWalker<Visit> walker{visit};
    Record::fields(record, walker);
}

}  // namespace detail

// The number of bytes the field list of `Record` covers.
template <FieldGroup Record>
constexpr std::size_t measuredSize()
{
    Record record{};
    detail::SizeCounter counter;
    detail::walkFields(record, counter);
    return counter.size;
}

// `bytes` must hold at least Record::kSize bytes.
template <FieldGroup Record>
Record parseRecord(ByteSpan bytes)
{
    Record record{};
    detail::FieldLoader loader{bytes.first(Record::kSize)};
    detail::walkFields(record, loader);
    return record;
}

template <FieldGroup Record>
void storeRecord(const Record& record, MutableByteSpan bytes)
{
    Record copy = record;
    detail::FieldStorer storer{bytes.first(Record::kSize)};
    detail::walkFields(copy, storer);
}

template <FieldGroup Record>
std::array<std::uint8_t, Record::kSize> serializeRecord(const Record& record)
{
    std::array<std::uint8_t, Record::kSize> bytes{};
    storeRecord(record, bytes);
    return bytes;
}

}  // namespace rom
