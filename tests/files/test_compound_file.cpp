#include "files/cp1252.h"
#include "files/xls/compound_file.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray pattern(qsizetype n) {
    QByteArray b(n, '\0');
    quint32 x = 12345;
    for (char& c : b) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return b;
}

// The stream as xlrd's own compound document reader finds it, as an MD5 in hex.
QByteArray xlrd_stream_md5(const QString& file) {
    QProcess py;
    py.start("/usr/bin/python3",
             {"-c",
              "import sys, hashlib, xlrd.compdoc as c\n"
              "d = c.CompDoc(open(sys.argv[1], 'rb').read(), logfile=sys.stderr)\n"
              "print(hashlib.md5(d.get_named_stream('Workbook')).hexdigest())",
              file});
    EXPECT_TRUE(py.waitForFinished(60000));
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    return py.readAllStandardOutput().trimmed();
}

// Small streams, streams whose sector table just fits the header (up to 109 table sectors,
// about 7 MB) and streams beyond it, whose table sectors are listed in further sectors.
TEST(CompoundFile, StreamsOfEverySizeReadBackWhole) {
    QTemporaryDir dir;
    const qsizetype sizes[] = {4096, 4097, 109 * 128 * 512 - 3 * 512, 109 * 128 * 512 + 1,
                               (109 + 127) * 128 * 512 + 5000};
    for (const qsizetype size : sizes) {
        SCOPED_TRACE(size);
        const QByteArray data = pattern(size);
        const QString file = dir.filePath("cf.bin");
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_TRUE(compound_file::write(f, "Workbook", static_cast<quint64>(size),
                                         [&](QIODevice& d) { return d.write(data) == size; }));
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        EXPECT_EQ(bytes.size() % 512, 0);
        const auto back = compound_file::read_stream(bytes, "workbook");
        ASSERT_TRUE(back.has_value());
        EXPECT_TRUE(*back == data);
        EXPECT_EQ(xlrd_stream_md5(file),
                  QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
    }
}

TEST(CompoundFile, WriterRefusesAStreamOfTheWrongSize) {
    QTemporaryDir dir;
    QFile f(dir.filePath("short.bin"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_FALSE(compound_file::write(
        f, "Workbook", 5000, [](QIODevice& d) { return d.write(QByteArray(4999, 'x')) == 4999; }));
    EXPECT_FALSE(compound_file::write(f, "Workbook", 100, [](QIODevice&) { return true; }));
}

TEST(CompoundFile, ReaderRejectsWhatIsNoContainer) {
    EXPECT_FALSE(compound_file::read_stream(QByteArray(2048, 'x'), "Workbook"));
    EXPECT_FALSE(compound_file::read_stream(QByteArray(), "Workbook"));
    QByteArray truncated(600, '\0');
    truncated.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    EXPECT_FALSE(compound_file::read_stream(truncated, "Workbook"));
}

TEST(Cp1252, EveryByteReadsAsACharacterThatWritesBackAsThatByte) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    QString text;
    cp1252::decode_append(all, text);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    EXPECT_EQ(text[0xE9], QChar(0xE9));
    QByteArray back(256, '\0');
    ASSERT_EQ(cp1252::encode(text, back.data()), back.data() + 256);
    EXPECT_EQ(back, all);
    EXPECT_TRUE(cp1252::can_encode(text));
    for (const QString& s : {QString("Ω"), QString("制"), QString(QChar(0x80))}) {
        EXPECT_FALSE(cp1252::can_encode(s));
        EXPECT_EQ(cp1252::encode(s, back.data()), nullptr);
    }
}

} // namespace
