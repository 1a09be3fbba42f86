// The exact compressor: the smallest LZ77 stream of a source that ends with a whole group, found by
// a shortest-path parse over the longest match at every position.

#include "rom/lz77.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace rom {

namespace {

constexpr std::int32_t kNoPosition = -1;
constexpr int kRootBits = 16;
constexpr std::size_t kRootCount = std::size_t{1} << kRootBits;
constexpr std::uint32_t kHashMultiplier = 2654435761u;  // Knuth's multiplicative hash

struct Match {
    std::uint8_t length = 0;  // below the minimum: no match
    std::uint16_t distance = 0;
};

// Every position whose 18 bytes lie inside the source, in binary search trees ordered by those
// bytes, one tree per hash of the first three bytes. A tree is kept in recency order (each node newer than its
// children), so a walk stops at the first node out of the window: all beneath it are older. A
// search passes the nearest smaller and greater keys, and one of those shares the longest prefix
// with the key searched for, so the longest match it reports is exact.
class MatchTree {
public:
    explicit MatchTree(ByteSpan source)
        : padded_(source.size() + kComparePadding, 0), children_(2 * source.size(), kNoPosition),
          roots_(kRootCount, kNoPosition)
    {
        std::copy(source.begin(), source.end(), padded_.begin());
        bytes_ = padded_.data();
    }

    // The longest match for `position` among the positions inserted so far.
    Match longest(std::size_t position) const
    {
        const std::uint8_t* current = bytes_ + position;
        Match best;
        std::size_t smallerCommon = 0;
        std::size_t greaterCommon = 0;
        for (std::int32_t node = roots_[rootOf(position)]; node != kNoPosition;) {
            const std::size_t distance = position - static_cast<std::size_t>(node);
            if (distance > static_cast<std::size_t>(kLz77MaximumDistance))
                break;
            const std::uint8_t* candidate = bytes_ + node;
            const std::size_t length = commonLength(candidate, current, std::min(smallerCommon, greaterCommon));
            if (length > best.length)
                best = {static_cast<std::uint8_t>(length), static_cast<std::uint16_t>(distance)};
            if (length == std::size_t{kLz77MaximumMatch})
                break;
            if (candidate[length] < current[length]) {
                smallerCommon = length;
                node = greater(node);
            } else {
                greaterCommon = length;
                node = smaller(node);
            }
        }
        if (best.length < kLz77MinimumMatch)
            return {};
        return best;
    }

    // Makes `position` the root of its tree, splitting the old tree along the search path into the
    // keys smaller and greater than its own. An older node with the same 18 bytes is dropped: the
    // new one is nearer to every later position.
    void insert(std::size_t position)
    {
        const std::uint8_t* current = bytes_ + position;
        std::int32_t& root = roots_[rootOf(position)];
        std::int32_t node = root;
        root = static_cast<std::int32_t>(position);
        std::int32_t* smallerLink = &smaller(position);
        std::int32_t* greaterLink = &greater(position);
        std::size_t smallerCommon = 0;
        std::size_t greaterCommon = 0;
        for (;;) {
            if (node == kNoPosition ||
                position - static_cast<std::size_t>(node) > static_cast<std::size_t>(kLz77MaximumDistance)) {
                *smallerLink = kNoPosition;
                *greaterLink = kNoPosition;
                return;
            }
            const std::uint8_t* candidate = bytes_ + node;
            const std::size_t length = commonLength(candidate, current, std::min(smallerCommon, greaterCommon));
            if (length == std::size_t{kLz77MaximumMatch}) {
                *smallerLink = smaller(node);
                *greaterLink = greater(node);
                return;
            }
            if (candidate[length] < current[length]) {
                *smallerLink = node;
                smallerLink = &greater(node);
                node = *smallerLink;
                smallerCommon = length;
            } else {
                *greaterLink = node;
                greaterLink = &smaller(node);
                node = *greaterLink;
                greaterCommon = length;
            }
        }
    }

private:
    // Bytes past the source read as zero, so comparisons may load whole words near its end.
    static constexpr std::size_t kComparePadding = 32;

    // How many of the first 18 bytes agree, known to agree up to `from`; compared a word at a time.
    static std::size_t commonLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t from)
    {
        for (std::size_t length = from; length < std::size_t{kLz77MaximumMatch}; length += sizeof(std::uint64_t)) {
            std::uint64_t wordA;
            std::uint64_t wordB;
            std::memcpy(&wordA, a + length, sizeof wordA);
            std::memcpy(&wordB, b + length, sizeof wordB);
            if (const std::uint64_t differ = wordA ^ wordB; differ != 0) {
                // The first byte in memory is the word's lowest on a little-endian machine.
                const int bits = std::endian::native == std::endian::little ? std::countr_zero(differ)
                                                                            : std::countl_zero(differ);
                return std::min<std::size_t>(length + static_cast<std::size_t>(bits) / 8, kLz77MaximumMatch);
            }
        }
        return kLz77MaximumMatch;
    }

    template <class Index>
    std::int32_t& smaller(Index node) { return children_[2 * static_cast<std::size_t>(node)]; }
    template <class Index>
    std::int32_t& greater(Index node) { return children_[2 * static_cast<std::size_t>(node) + 1]; }
    template <class Index>
    std::int32_t smaller(Index node) const { return children_[2 * static_cast<std::size_t>(node)]; }
    template <class Index>
    std::int32_t greater(Index node) const { return children_[2 * static_cast<std::size_t>(node) + 1]; }

    // A match is at least three bytes long, so only keys that share their first three bytes need
    // to meet in one tree; hashing those three keeps the trees small.
    std::size_t rootOf(std::size_t position) const
    {
        const std::uint32_t key = static_cast<std::uint32_t>(bytes_[position]) << 16 |
                                  static_cast<std::uint32_t>(bytes_[position + 1]) << 8 | bytes_[position + 2];
        return (key * kHashMultiplier) >> (32 - kRootBits);
    }

    std::vector<std::uint8_t> padded_;
    const std::uint8_t* bytes_ = nullptr;
    // The smaller and the greater child of every position, side by side.
    std::vector<std::int32_t> children_;
    std::vector<std::int32_t> roots_;
};

// The longest match at `position` by comparing every allowed distance; for the last positions,
// whose bytes are too few for the tree's keys.
Match longestByScan(ByteSpan source, std::size_t position, std::size_t minimumDistance)
{
    const std::size_t limit = std::min<std::size_t>(kLz77MaximumMatch, source.size() - position);
    Match best;
    const std::size_t farthest = std::min<std::size_t>(kLz77MaximumDistance, position);
    for (std::size_t distance = minimumDistance; distance <= farthest; ++distance) {
        std::size_t length = 0;
        while (length < limit && source[position - distance + length] == source[position + length])
            ++length;
        if (length > best.length)
            best = {static_cast<std::uint8_t>(length), static_cast<std::uint16_t>(distance)};
    }
    if (best.length < kLz77MinimumMatch)
        return {};
    return best;
}

// The longest match at every position. A position joins the tree only once it is at least the
// minimum distance behind the position searched, so the tree never offers a distance not allowed.
std::vector<Match> longestMatches(ByteSpan source, std::size_t minimumDistance)
{
    const std::size_t size = source.size();
    std::vector<Match> matches(size);
    const std::size_t keyed = size >= std::size_t{kLz77MaximumMatch} ? size - kLz77MaximumMatch + 1 : 0;
    MatchTree tree(source);
    for (std::size_t i = 0; i < size; ++i) {
        if (i >= minimumDistance && i - minimumDistance < keyed)
            tree.insert(i - minimumDistance);
        matches[i] = i < keyed ? tree.longest(i) : longestByScan(source, i, minimumDistance);
    }
    return matches;
}

// What a parse has cost so far, packed so that one comparison orders parses by the bytes of their
// stream first and by their number of items second: bytes in the high half, items in the low.
using Cost = std::uint64_t;
constexpr Cost kOneItem = 1;
constexpr Cost kOneByte = Cost{1} << 32;
// Above every real cost, with room left to add the cost of an item without overflowing.
constexpr Cost kUnreached = UINT64_MAX >> 1;
// An item that opens a group pays for the whole group: its flag byte and one byte for each of its
// slots, since every slot holds at least one byte (an item, or the zero literal that completes the
// last group). A back-reference then pays its second byte. After the last item the bytes paid are
// exactly the body of the stream with its last group completed.
constexpr Cost kGroupCost = (1 + kLz77ItemsPerGroup) * kOneByte;
constexpr Cost kReferenceExtraCost = kOneByte;

constexpr std::size_t kSlots = kLz77ItemsPerGroup;
// Positions kept for the parse: at least one longer than the longest item.
constexpr std::size_t kRecentPositions = 32;
static_assert(kRecentPositions > std::size_t{kLz77MaximumMatch} && std::has_single_bit(kRecentPositions));

using SlotCosts = std::array<Cost, kSlots>;

// What an item costs in `slot` (the number of items before it modulo eight), before the second
// byte of a back-reference.
Cost itemCost(std::size_t slot)
{
    return slot == 0 ? kGroupCost + kOneItem : kOneItem;
}

// The earlier positions from which a back-reference can end at the current position, for one slot,
// the cheapest first. The matches are the longest ones, found exactly: a match at i of length L and
// distance d gives one of at least L - 1 at i + 1 with the same distance, so the farthest end that
// a reference from a position reaches never falls from one position to the next. A later position
// that costs no more than an earlier one therefore replaces it, and positions whose reach has been
// passed leave at the front.
class ReferenceStarts {
public:
    bool empty() const { return head_ == tail_; }
    std::uint32_t cheapestPosition() const { return at(head_).position; }
    Cost cheapestCost() const { return at(head_).cost; }

    // `reach`: the position after the longest match at `position`.
    void add(std::uint32_t position, std::uint32_t reach, Cost cost)
    {
        while (!empty() && at(tail_ - 1).cost >= cost)
            --tail_;
        entries_[tail_++ % kRecentPositions] = {position, reach, cost};
    }

    void dropEndedBefore(std::size_t position)
    {
        while (!empty() && at(head_).reach < position)
            ++head_;
    }

private:
    struct Entry {
        std::uint32_t position = 0;
        std::uint32_t reach = 0;
        Cost cost = 0;
    };

    const Entry& at(std::uint32_t index) const { return entries_[index % kRecentPositions]; }

    // A ring: entries lie no more than the longest match behind the current position.
    std::array<Entry, kRecentPositions> entries_{};
    std::uint32_t head_ = 0;
    std::uint32_t tail_ = 0;
};

// The item lengths of the smallest stream, 1 for a literal. A shortest-path parse whose states are
// the positions in the source together with the slot of the next item in its group (the number of
// items so far modulo eight), so that it weighs the zero literals completing the last group and
// chooses where the parse ends within its group.
std::vector<std::uint8_t> smallestParse(const std::vector<Match>& matches)
{
    const std::size_t size = matches.size();
    // The length of the item that reaches each position and slot on the cheapest way there.
    std::vector<std::array<std::uint8_t, kSlots>> arriving(size + 1);
    std::array<SlotCosts, kRecentPositions> costs;
    costs[0].fill(kUnreached);
    costs[0][0] = 0;
    std::array<ReferenceStarts, kSlots> starts;
    for (std::size_t position = 1; position <= size; ++position) {
        if (position >= std::size_t{kLz77MinimumMatch}) {
            const std::size_t start = position - kLz77MinimumMatch;
            if (matches[start].length != 0) {
                const SlotCosts& startCosts = costs[start % kRecentPositions];
                const auto reach = static_cast<std::uint32_t>(start + matches[start].length);
                for (std::size_t slot = 0; slot < kSlots; ++slot)
                    starts[slot].add(static_cast<std::uint32_t>(start), reach, startCosts[slot]);
            }
        }
        const SlotCosts& previous = costs[(position - 1) % kRecentPositions];
        SlotCosts& current = costs[position % kRecentPositions];
        for (std::size_t slot = 0; slot < kSlots; ++slot) {
            const std::size_t next = (slot + 1) % kSlots;
            Cost best = previous[slot] + itemCost(slot);
            std::uint8_t length = 1;
            ReferenceStarts& from = starts[slot];
            from.dropEndedBefore(position);
            if (!from.empty()) {
                const Cost reference = from.cheapestCost() + itemCost(slot) + kReferenceExtraCost;
                if (reference < best) {
                    best = reference;
                    length = static_cast<std::uint8_t>(position - from.cheapestPosition());
                }
            }
            current[next] = std::min(best, kUnreached);
            arriving[position][next] = length;
        }
    }

    const SlotCosts& last = costs[size % kRecentPositions];
    std::size_t slot = static_cast<std::size_t>(std::ranges::min_element(last) - last.begin());
    std::vector<std::uint8_t> lengths;
    for (std::size_t position = size; position > 0; slot = (slot + kSlots - 1) % kSlots) {
        lengths.push_back(arriving[position][slot]);
        position -= arriving[position][slot];
    }
    std::reverse(lengths.begin(), lengths.end());
    return lengths;
}

}  // namespace

Bytes lz77Compress(ByteSpan source, Lz77Target target)
{
    const std::size_t minimumDistance = target == Lz77Target::Vram ? kLz77VramMinimumDistance : 1;
    const std::vector<Match> matches = longestMatches(source, minimumDistance);
    const std::vector<std::uint8_t> lengths = smallestParse(matches);
    const std::size_t size = source.size();

    Bytes stream;
    stream.reserve(kLz77HeaderSize + size + size / kLz77ItemsPerGroup + kLz77ItemsPerGroup + 1);
    appendLz77Header(stream, static_cast<std::uint32_t>(size));
    std::size_t position = 0;
    std::size_t flagIndex = 0;
    const std::size_t items = lengths.size();
    const std::size_t groups = std::max<std::size_t>(1, (items + kLz77ItemsPerGroup - 1) / kLz77ItemsPerGroup);
    for (std::size_t item = 0; item < groups * kLz77ItemsPerGroup; ++item) {
        const int slot = static_cast<int>(item % kLz77ItemsPerGroup);
        if (slot == 0) {
            flagIndex = stream.size();
            stream.push_back(0);
        }
        if (item >= items) {
            stream.push_back(0);  // completes the last group
            continue;
        }
        const std::size_t length = lengths[item];
        if (length == 1) {
            stream.push_back(source[position]);
        } else {
            const std::size_t encodedDistance = matches[position].distance - 1u;
            stream[flagIndex] = static_cast<std::uint8_t>(stream[flagIndex] | kLz77FirstItemFlag >> slot);
            stream.push_back(static_cast<std::uint8_t>((length - kLz77MinimumMatch) << kLz77LengthShift |
                                                       encodedDistance >> 8));
            stream.push_back(static_cast<std::uint8_t>(encodedDistance));
        }
        position += length;
    }
    return stream;
}

}  // namespace rom
