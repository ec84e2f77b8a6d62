#include "files/xls/compound_file.h"

#include <QtEndian>

#include <cstring>
#include <vector>

namespace compound_file {
namespace {

constexpr quint32 kSector = 512;
constexpr quint32 kIdsPerSector = kSector / 4;
constexpr quint32 kHeaderDifat = 109;
constexpr quint32 kFreeSect = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSect = 0xFFFFFFFD;
constexpr quint32 kDifSect = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;
constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

quint32 ceil_div(quint64 a, quint64 b) {
    return static_cast<quint32>((a + b - 1) / b);
}

void put16(QByteArray& b, int at, quint16 v) {
    qToLittleEndian(v, b.data() + at);
}
void put32(QByteArray& b, int at, quint32 v) {
    qToLittleEndian(v, b.data() + at);
}
quint16 get16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 get32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}

// Where everything goes: the stream's sectors first, then the directory, the sector table
// (FAT) and the sectors that continue the header's list of FAT sectors (DIFAT).
struct Layout {
    quint32 stream_sectors = 0;
    quint32 fat_sectors = 0;
    quint32 difat_sectors = 0;

    quint32 dir_sector() const { return stream_sectors; }
    quint32 first_fat() const { return stream_sectors + 1; }
    quint32 first_difat() const { return first_fat() + fat_sectors; }
    quint32 total() const { return stream_sectors + 1 + fat_sectors + difat_sectors; }
};

Layout plan(quint64 stream_size) {
    Layout l;
    l.stream_sectors = ceil_div(stream_size, kSector);
    // The FAT must also cover its own sectors and those of the DIFAT: grow until it does.
    for (;;) {
        const quint32 fat = ceil_div(l.total(), kIdsPerSector);
        const quint32 difat =
            fat > kHeaderDifat ? ceil_div(fat - kHeaderDifat, kIdsPerSector - 1) : 0;
        if (fat == l.fat_sectors && difat == l.difat_sectors)
            return l;
        l.fat_sectors = fat;
        l.difat_sectors = difat;
    }
}

QByteArray header(const Layout& l) {
    QByteArray h(kSector, '\0');
    std::memcpy(h.data(), kSignature, 8);
    put16(h, 0x18, 0x003E); // minor version
    put16(h, 0x1A, 0x0003); // major version 3: 512-byte sectors
    put16(h, 0x1C, 0xFFFE); // little-endian
    put16(h, 0x1E, 9);      // sector shift
    put16(h, 0x20, 6);      // mini sector shift
    put32(h, 0x2C, l.fat_sectors);
    put32(h, 0x30, l.dir_sector());
    put32(h, 0x38, 4096); // mini stream cutoff
    put32(h, 0x3C, kEndOfChain);
    put32(h, 0x40, 0);
    put32(h, 0x44, l.difat_sectors ? l.first_difat() : kEndOfChain);
    put32(h, 0x48, l.difat_sectors);
    for (quint32 i = 0; i < kHeaderDifat; ++i)
        put32(h, 0x4C + 4 * i, i < l.fat_sectors ? l.first_fat() + i : kFreeSect);
    return h;
}

void dir_entry(QByteArray& d, int slot, const QString& name, quint8 type, quint32 child,
               quint32 start, quint32 size) {
    const int at = slot * 128;
    for (int i = 0; i < name.size() && i < 31; ++i)
        put16(d, at + 2 * i, name.at(i).unicode());
    put16(d, at + 0x40, static_cast<quint16>((std::min<qsizetype>(name.size(), 31) + 1) * 2));
    d[at + 0x42] = static_cast<char>(type);
    d[at + 0x43] = 1; // black
    put32(d, at + 0x44, kNoStream);
    put32(d, at + 0x48, kNoStream);
    put32(d, at + 0x4C, child);
    put32(d, at + 0x74, start);
    put32(d, at + 0x78, size);
}

QByteArray directory(const Layout& l, const QString& stream_name, quint64 stream_size) {
    QByteArray d(kSector, '\0');
    for (int slot = 2; slot < 4; ++slot) // unused entries point nowhere
        for (int off : {0x44, 0x48, 0x4C})
            put32(d, slot * 128 + off, kNoStream);
    dir_entry(d, 0, QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    dir_entry(d, 1, stream_name, 2, kNoStream, l.stream_sectors ? 0 : kEndOfChain,
              static_cast<quint32>(stream_size));
    return d;
}

QByteArray fat(const Layout& l) {
    QByteArray f(static_cast<qsizetype>(l.fat_sectors) * kSector, '\xFF');
    quint32 s = 0;
    for (; s + 1 < l.stream_sectors; ++s)
        put32(f, 4 * s, s + 1);
    if (l.stream_sectors)
        put32(f, 4 * s, kEndOfChain);
    put32(f, 4 * l.dir_sector(), kEndOfChain);
    for (quint32 i = 0; i < l.fat_sectors; ++i)
        put32(f, 4 * (l.first_fat() + i), kFatSect);
    for (quint32 i = 0; i < l.difat_sectors; ++i)
        put32(f, 4 * (l.first_difat() + i), kDifSect);
    return f;
}

// Each DIFAT sector lists 127 further FAT sectors and ends with the next DIFAT sector.
QByteArray difat(const Layout& l) {
    QByteArray d(static_cast<qsizetype>(l.difat_sectors) * kSector, '\xFF');
    for (quint32 i = 0; i < l.difat_sectors; ++i) {
        const int at = static_cast<int>(i * kSector);
        for (quint32 k = 0; k < kIdsPerSector - 1; ++k) {
            const quint32 fat_index = kHeaderDifat + i * (kIdsPerSector - 1) + k;
            if (fat_index < l.fat_sectors)
                put32(d, at + 4 * static_cast<int>(k), l.first_fat() + fat_index);
        }
        put32(d, at + kSector - 4, i + 1 < l.difat_sectors ? l.first_difat() + i + 1 : kEndOfChain);
    }
    return d;
}

bool write_all(QIODevice& out, const QByteArray& b) {
    return out.write(b) == b.size();
}

} // namespace

bool write(QIODevice& out, const QString& stream_name, quint64 stream_size,
           const std::function<bool(QIODevice&)>& write_stream) {
    if (stream_size < kMinStreamSize || stream_size > 0x7FFFFFFF)
        return false;
    const Layout l = plan(stream_size);
    if (!write_all(out, header(l)))
        return false;
    const qint64 start = out.pos();
    if (!write_stream(out) || out.pos() - start != static_cast<qint64>(stream_size))
        return false;
    const quint64 slack = static_cast<quint64>(l.stream_sectors) * kSector - stream_size;
    return write_all(out, QByteArray(static_cast<qsizetype>(slack), '\0')) &&
           write_all(out, directory(l, stream_name, stream_size)) && write_all(out, fat(l)) &&
           write_all(out, difat(l));
}

std::optional<QByteArray> read_stream(const QByteArray& file, const QString& stream_name) {
    const char* p = file.constData();
    if (file.size() < kSector || !file.startsWith(QByteArray(kSignature, 8)) ||
        get16(p + 0x1C) != 0xFFFE)
        return std::nullopt;
    const int shift = get16(p + 0x1E);
    if (shift != 9 && shift != 12)
        return std::nullopt;
    const quint32 sector = 1u << shift;
    const quint64 sectors = (static_cast<quint64>(file.size()) - kSector + sector - 1) / sector;
    // Sector s starts after the header, which takes one sector of the file's sector size.
    const auto at = [&](quint32 s) -> const char* {
        return s < sectors && (static_cast<quint64>(s) + 2) * sector <= quint64(file.size())
                   ? p + (static_cast<quint64>(s) + 1) * sector
                   : nullptr;
    };

    // The FAT's sectors: 109 in the header, the rest in the DIFAT chain.
    std::vector<quint32> fat_sectors;
    const quint32 fat_count = get32(p + 0x2C);
    if (fat_count > sectors)
        return std::nullopt;
    for (quint32 i = 0; i < kHeaderDifat && fat_sectors.size() < fat_count; ++i)
        fat_sectors.push_back(get32(p + 0x4C + 4 * i));
    quint32 next = get32(p + 0x44);
    for (quint64 hops = 0; fat_sectors.size() < fat_count; ++hops) {
        const char* d = at(next);
        if (!d || hops > sectors)
            return std::nullopt;
        for (quint32 k = 0; k + 1 < sector / 4 && fat_sectors.size() < fat_count; ++k)
            fat_sectors.push_back(get32(d + 4 * k));
        next = get32(d + sector - 4);
    }
    std::vector<quint32> fat;
    fat.reserve(static_cast<std::size_t>(fat_count) * (sector / 4));
    for (quint32 s : fat_sectors) {
        const char* f = at(s);
        if (!f)
            return std::nullopt;
        for (quint32 k = 0; k < sector / 4; ++k)
            fat.push_back(get32(f + 4 * k));
    }

    // A chain's bytes, at most `limit` of them; nothing if the chain is broken or loops.
    const auto chain = [&](quint32 s, quint64 limit) -> std::optional<QByteArray> {
        QByteArray out;
        for (quint64 hops = 0; s != kEndOfChain && quint64(out.size()) < limit; ++hops) {
            const char* d = at(s);
            if (!d || s >= fat.size() || hops > sectors)
                return std::nullopt;
            out.append(d, sector);
            s = fat[s];
        }
        if (quint64(out.size()) < limit && limit != UINT64_MAX)
            return std::nullopt;
        if (limit != UINT64_MAX)
            out.truncate(static_cast<qsizetype>(limit));
        return out;
    };

    const auto dir = chain(get32(p + 0x30), UINT64_MAX);
    if (!dir)
        return std::nullopt;
    const quint32 cutoff = get32(p + 0x38);
    for (qsizetype e = 0; e + 128 <= dir->size(); e += 128) {
        const char* d = dir->constData() + e;
        const int name_bytes = get16(d + 0x40);
        if (d[0x42] != 2 || name_bytes < 2 || name_bytes > 64)
            continue;
        QString name;
        for (int i = 0; i + 1 < name_bytes / 2; ++i)
            name += QChar(get16(d + 2 * i));
        if (name.compare(stream_name, Qt::CaseInsensitive) != 0)
            continue;
        const quint64 size = get32(d + 0x78);
        if (size < cutoff)
            return std::nullopt; // in the mini stream, which nothing written here uses
        return chain(get32(d + 0x74), size);
    }
    return std::nullopt;
}

} // namespace compound_file
