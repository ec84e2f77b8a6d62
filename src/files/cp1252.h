#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-1252, the 8-bit code page of the text data file. Bytes 0x00..0x7F and 0xA0..0xFF
// are the characters of the same number; 0x80..0x9F hold the typographic extras (euro sign,
// quotes, dashes ...). The five bytes that code page leaves unassigned stand for the control
// characters of the same number, as the platform's own conversion treats them, so every byte
// reads as some character and every such character writes back as its byte.
namespace cp1252 {

// Appends the characters of `bytes` to `out`.
void decode_append(QByteArrayView bytes, QString& out);

// Writes the bytes of `text` to `out`, which has room for text.size() bytes, and returns the
// end of what was written; null when some character has no byte in the code page.
char* encode(QStringView text, char* out);

// Whether every character of `text` has a byte in the code page.
bool can_encode(QStringView text);

} // namespace cp1252
