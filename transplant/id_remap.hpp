#pragma once
// The positional ID mapping of a transplant: the j-th ID of a kind in the loaded set becomes the
// j-th free ID of that kind in the target image.

#include "rom/byte_io.hpp"
#include "rom/resource_kind.hpp"
#include "rom/unit_resources.hpp"

#include <cstdint>
#include <span>

namespace transplant {

class IdRemap {
public:
    // `target` holds the free IDs, `source` the IDs the file set used in its own image.
    IdRemap(const rom::UnitResourceSet& target, const rom::UnitResourceSet& source)
        : target_(target), source_(source)
    {
    }

    // Rewrites the u16 at `offset` of `record` when its value is one of the source IDs of `kind`;
    // any other value (0xFFFF, or a resource the file set left out) stays as it is.
    void field(rom::MutableByteSpan record, std::size_t offset, rom::ResourceKind kind) const
    {
        const std::uint16_t value = rom::loadU16(record, offset);
        const auto& from = source_.list(kind);
        const auto& to = target_.list(kind);
        for (std::size_t j = 0; j < from.size() && j < to.size(); ++j) {
            if (from[j] == value)
                rom::storeU16(record, offset, to[j]);
        }
    }

    void fields(rom::MutableByteSpan record, std::span<const std::size_t> offsets,
                rom::ResourceKind kind) const
    {
        for (std::size_t offset : offsets)
            field(record, offset, kind);
    }

private:
    const rom::UnitResourceSet& target_;
    const rom::UnitResourceSet& source_;
};

}  // namespace transplant
