#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>

// The compound document container of Excel 97-2003 files (version 3, 512-byte sectors), for
// one stream at the root.
//
// The writer streams: the caller says the stream's size up front and then writes exactly that
// many bytes, which go straight to the file; the sector table (and, beyond about 7 MB, the
// extra sectors that list the sector table's own sectors) follows them. Streams are kept at
// 4096 bytes or more so that they live in regular sectors and no mini stream is needed.
namespace compound_file {

inline constexpr quint64 kMinStreamSize = 4096;

// Writes the container to `out`: `stream_size` is at least kMinStreamSize, and `write_stream`
// writes exactly that many bytes to the device it is given. False on any write failure.
bool write(QIODevice& out, const QString& stream_name, quint64 stream_size,
           const std::function<bool(QIODevice&)>& write_stream);

// The named stream at the root of a container held in memory; nothing when `file` is not such
// a container, is damaged, or keeps the stream in the mini stream.
std::optional<QByteArray> read_stream(const QByteArray& file, const QString& stream_name);

} // namespace compound_file
