// The binary form of a partial count, versions 1 and 2. Little-endian, as
// x86-64 keeps numbers; a load is the 10 bytes of an 80-bit extended value.
// Version 2 is version 1 where the first or the last piece may be 0: a piece
// without a number. A count whose pieces all have numbers is written as
// version 1, so that programs that know only that one still read it.
//
//   "TESSPART"                      8 bytes
//   version                         u32 (1 or 2)
//   parameters: filter (load), residue method (u8: 1 decomposition, 2 upward, 3 half),
//     flags (u8: 1 load bins, 2 unlimited), store (u8: 1 exact, 2 bins),
//     bin count (i32), class bounds lowest and highest (2 loads)
//   pieces: first and last (u64 each, from 1; version 2: 0 for unnumbered)
//   loads: count (i64), highest and lowest (2 loads)
//   piece: anchored, past its head, keeps its loads (u8 each), result (i32)
//   extraction: started (u8), direction (i8: -1, 0, +1), max, min (2 loads),
//     reversals written (i64)
//   head, loads kept, residue: each a count (u64) and that many loads
//   cycles, store exact: count (u64), then upper, lower (loads), count (i32)
//   cycles, store bins: count (u64), then row, column (u16 each), count (i32)
//   CRC-32 (zlib's) of every byte before it   u32

#include "engine/counting/partial_count.h"

#include "engine/counting/partial_count_state.h"

#include "engine/record/io_error.h"

#include <zlib.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <istream>
#include <iterator>
#include <ostream>

namespace tessivo {
namespace {

static_assert(LDBL_MANT_DIG == 64 && sizeof(long double) >= 10, "loads are stored as 80-bit extended values");

constexpr char kMagic[8] = {'T', 'E', 'S', 'S', 'P', 'A', 'R', 'T'};
constexpr std::uint32_t kNumberedVersion = 1;
constexpr std::uint32_t kVersion = 2; // the newest this program reads

class Writer {
public:
    template <class T>
    void put(T v)
    {
        static_assert(std::is_integral_v<T>);
        const auto* p = reinterpret_cast<const char*>(&v);
        bytes.insert(bytes.end(), p, p + sizeof v);
    }
    void load(long double v)
    {
        char b[10];
        std::memcpy(b, &v, 10);
        bytes.insert(bytes.end(), b, b + 10);
    }
    void loads(const std::vector<long double>& vs)
    {
        put<std::uint64_t>(vs.size());
        for (const long double v : vs)
            load(v);
    }
    std::vector<char> bytes;
};

class Reader {
public:
    Reader(const std::vector<char>& bytes, std::size_t end, const std::string& name)
        : m_bytes(bytes)
        , m_end(end)
        , m_name(name)
    {
    }
    template <class T>
    T get()
    {
        T v{};
        std::memcpy(&v, need(sizeof v), sizeof v);
        return v;
    }
    long double load()
    {
        long double v = 0.0L;
        std::memcpy(&v, need(10), 10);
        if (std::isnan(v))
            corrupt();
        return v;
    }
    std::vector<long double> loads()
    {
        const auto n = get<std::uint64_t>();
        if (n > (m_end - m_at) / 10)
            cutShort();
        std::vector<long double> vs(n);
        for (auto& v : vs)
            v = load();
        return vs;
    }
    std::uint64_t count(std::size_t recordSize)
    {
        const auto n = get<std::uint64_t>();
        if (n > (m_end - m_at) / recordSize)
            cutShort();
        return n;
    }
    std::size_t at() const { return m_at; }
    [[noreturn]] void cutShort() const { throw PartialCountError(m_name + ": partial count is cut short"); }
    [[noreturn]] void corrupt() const { throw PartialCountError(m_name + ": partial count is corrupt"); }

private:
    const char* need(std::size_t n)
    {
        if (m_end - m_at < n)
            cutShort();
        const char* p = m_bytes.data() + m_at;
        m_at += n;
        return p;
    }
    const std::vector<char>& m_bytes;
    std::size_t m_end;
    std::size_t m_at = 0;
    const std::string& m_name;
};

std::uint32_t crcOf(const char* data, std::size_t n)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    while (n > 0) {
        const uInt chunk = static_cast<uInt>(std::min<std::size_t>(n, 1u << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data), chunk);
        data += chunk;
        n -= chunk;
    }
    return static_cast<std::uint32_t>(crc);
}

void writeParameters(Writer& w, const CountParameters& p)
{
    w.load(p.filter);
    w.put(static_cast<std::uint8_t>(p.residue));
    w.put(static_cast<std::uint8_t>((p.useLoadBins ? 1 : 0) | (p.unlimited ? 2 : 0) | (p.binEdges.empty() ? 0 : 4)));
    w.put(static_cast<std::uint8_t>(p.store));
    w.put<std::int32_t>(p.binCount);
    w.load(p.binLowest);
    w.load(p.binHighest);
    if (!p.binEdges.empty()) // flag 4: counts without it read as before
        w.loads(p.binEdges);
}

CountParameters readParameters(Reader& r)
{
    CountParameters p;
    p.filter = r.load();
    const auto residue = r.get<std::uint8_t>();
    const auto flags = r.get<std::uint8_t>();
    const auto store = r.get<std::uint8_t>();
    p.binCount = r.get<std::int32_t>();
    p.binLowest = r.load();
    p.binHighest = r.load();
    if (residue < 1 || residue > 3 || flags > 7 || store < 1 || store > 2)
        r.corrupt();
    if ((flags & 4) != 0)
        p.binEdges = r.loads();
    p.residue = static_cast<ResidueMethod>(residue);
    p.useLoadBins = (flags & 1) != 0;
    p.unlimited = (flags & 2) != 0;
    p.store = static_cast<CycleStore>(store);
    return p;
}

} // namespace

void PartialCount::write(std::ostream& out)
{
    State& s = *m;
    Writer w;
    w.bytes.insert(w.bytes.end(), kMagic, kMagic + 8);
    const bool numbered = s.first != kUnnumbered && s.last != kUnnumbered;
    w.put(numbered ? kNumberedVersion : kVersion);
    writeParameters(w, s.params);
    w.put<std::uint64_t>(s.first);
    w.put<std::uint64_t>(s.last);
    w.put<std::int64_t>(s.length);
    w.load(s.highest);
    w.load(s.lowest);
    w.put<std::uint8_t>(s.anchored);
    w.put<std::uint8_t>(s.converged);
    w.put<std::uint8_t>(s.keepRaw);
    w.put(static_cast<std::int32_t>(s.result));
    const ReversalExtractor::State e = s.extractor.state();
    w.put<std::uint8_t>(e.started);
    w.put(static_cast<std::int8_t>(e.direction));
    w.load(e.max);
    w.load(e.min);
    w.put<std::int64_t>(s.emitted);
    w.loads(s.head);
    w.loads(s.raw);
    w.loads(s.counter.residue());
    if (s.params.store == CycleStore::Bins) {
        std::vector<char> cells;
        std::uint64_t n = 0;
        Writer c;
        for (std::int32_t r = 1; r <= s.params.binCount; ++r)
            for (std::int32_t k = 1; k <= s.params.binCount; ++k)
                if (const std::int32_t v = s.run->FromToMatrix[r][k]; v != 0) {
                    c.put(static_cast<std::uint16_t>(r));
                    c.put(static_cast<std::uint16_t>(k));
                    c.put(v);
                    ++n;
                }
        w.put(n);
        w.bytes.insert(w.bytes.end(), c.bytes.begin(), c.bytes.end());
    } else {
        std::vector<TCycle> cycles;
        forEachCycle(s.table, true, [&cycles](const TCycle& c) { cycles.push_back(c); });
        w.put<std::uint64_t>(cycles.size());
        for (const TCycle& c : cycles) {
            w.load(c.Upper);
            w.load(c.Lower);
            w.put(c.Count);
        }
    }
    w.put(crcOf(w.bytes.data(), w.bytes.size()));
    out.write(w.bytes.data(), static_cast<std::streamsize>(w.bytes.size()));
    if (!out)
        throwIoError(errno != 0 ? errno : EIO, "partial count");
}

PartialCount PartialCount::read(std::istream& in, const std::string& name)
{
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), kMagic, 8) != 0)
        throw PartialCountError(name + ": not a partial count");
    std::uint32_t version = 0;
    std::memcpy(&version, bytes.data() + 8, 4);
    if (version < kNumberedVersion || version > kVersion)
        throw PartialCountError(name + ": partial count of version " + std::to_string(version)
                                + "; this program reads versions " + std::to_string(kNumberedVersion) + " and "
                                + std::to_string(kVersion));

    // First the record as it stands (the checksum closes the file), then the
    // checksum, and only then anything built from it.
    Reader r(bytes, bytes.size() >= 16 ? bytes.size() - 4 : 12, name);
    r.get<std::uint64_t>(); // magic
    r.get<std::uint32_t>(); // version
    const CountParameters params = readParameters(r);
    const auto first = r.get<std::uint64_t>();
    const auto last = r.get<std::uint64_t>();
    const auto length = r.get<std::int64_t>();
    const long double highest = r.load();
    const long double lowest = r.load();
    const auto anchored = r.get<std::uint8_t>();
    const auto converged = r.get<std::uint8_t>();
    const auto keepRaw = r.get<std::uint8_t>();
    const auto result = r.get<std::int32_t>();
    ReversalExtractor::State e;
    e.started = r.get<std::uint8_t>() != 0;
    e.direction = r.get<std::int8_t>();
    e.max = r.load();
    e.min = r.load();
    const auto emitted = r.get<std::int64_t>();
    std::vector<long double> head = r.loads();
    std::vector<long double> raw = r.loads();
    const std::vector<long double> residue = r.loads();
    struct Cell {
        std::uint16_t row, column;
        std::int32_t count;
    };
    std::vector<Cell> cells;
    std::vector<TCycle> cycles;
    if (params.store == CycleStore::Bins) {
        cells.resize(r.count(8));
        for (Cell& c : cells)
            c = {r.get<std::uint16_t>(), r.get<std::uint16_t>(), r.get<std::int32_t>()};
    } else {
        cycles.resize(r.count(24));
        for (TCycle& c : cycles) {
            c.Upper = r.load();
            c.Lower = r.load();
            c.Count = r.get<std::int32_t>();
        }
    }
    if (bytes.size() < 16 || r.at() != bytes.size() - 4)
        r.corrupt();
    std::uint32_t stored = 0;
    std::memcpy(&stored, bytes.data() + bytes.size() - 4, 4);
    if (stored != crcOf(bytes.data(), bytes.size() - 4))
        throw PartialCountError(name + ": partial count is corrupt (its checksum does not match)");

    const bool piecesValid = version == kNumberedVersion ? first > 0 && last >= first
                                                         : first == kUnnumbered || last == kUnnumbered || last >= first;
    const bool fieldsValid = piecesValid && params.binCount >= 1 && params.binCount <= MatrixSize && params.filter >= 0
                             && (params.store != CycleStore::Bins || params.binHighest > params.binLowest)
                             && (params.binEdges.empty()
                                 || (!binEdgesProblem(params.binEdges) && params.store == CycleStore::Bins
                                     && params.binCount + 1 == static_cast<std::int32_t>(params.binEdges.size())))
                             && (anchored != 0) == (first == 1) && length >= 0 && emitted >= 0
                             && (result == 0 || result == static_cast<std::int32_t>(RunResult::TableFull))
                             && e.direction >= -1 && e.direction <= 1;
    if (!fieldsValid)
        r.corrupt();
    auto s = std::make_unique<State>(params, first);
    s->last = last;
    s->length = length;
    s->highest = highest;
    s->lowest = lowest;
    s->converged = converged != 0;
    s->keepRaw = keepRaw != 0;
    s->result = static_cast<RunResult>(result);
    s->extractor.restore(e);
    s->emitted = emitted;
    s->head = std::move(head);
    s->raw = std::move(raw);
    // A residue admits no cycle: pushing it again rebuilds the stack alone.
    for (const long double v : residue)
        s->counter.put(v);
    for (const Cell& c : cells) {
        if (c.row < 1 || c.column < 1 || c.row > params.binCount || c.column > params.binCount || c.count < 0)
            r.corrupt();
        s->run->FromToMatrix[c.row][c.column] = c.count;
    }
    for (const TCycle& c : cycles) {
        if (c.Count < 1 || !(c.Upper >= c.Lower))
            r.corrupt();
        s->table.AddCycles(c.Upper, c.Lower, c.Count, s->result);
    }
    return PartialCount(std::move(s));
}

} // namespace tessivo
