// The fast path against the general one (QTextStream), on generated and
// hostile files: the same record rows, field texts, numbers (bit for bit) and
// point numbers, whatever the block size and row limit, and gzipped or not.
#include "SPSNumbers.h"
#include "SPSRowReader.h"
#include "SPSTestGzip.h"
#include "SPSUtf8Decoder.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QtTest>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>

namespace {
using Field = std::pair<qint32, qint32>;
using Fields = QList<Field>;

const Fields kStandardFields = {{1, 16}, {17, 8}, {32, 4}, {46, 9}, {55, 10},
                                {65, 6}, {0, 1},  {-2, 5}, {3, 0}};

struct Way
{
    const char* name;
    bool general;
    qint32 blockSize;    // 0: the reader's own
    bool limited;        // row limit taken from the fields
    int gzipMembers = 0; // read from gzip data of that many members; 0: plain
};

const Way kWays[] = {
    {"fast", false, 0, false},
    {"fast, 64-byte blocks", false, 64, false},
    {"fast, 203-byte blocks", false, 203, false},
    {"general, limited rows", true, 0, true},
    {"fast, limited rows", false, 0, true},
    {"fast, limited rows, 64-byte blocks", false, 64, true},
    {"fast, gzipped", false, 0, false, 1},
    {"fast, gzipped in 3 members, 64-byte blocks, limited rows", false, 64, true, 3},
    {"general, gzipped in 2 members", true, 0, false, 2},
};

QString bitsOf(double d)
{
    quint64 bits;
    std::memcpy(&bits, &d, sizeof bits);
    return QString::number(bits, 16);
}

QString bitsOf(float f)
{
    quint32 bits;
    std::memcpy(&bits, &f, sizeof bits);
    return QString::number(bits, 16);
}

// Control and non-ASCII characters as code points, so failures stay readable.
QString shown(const QString& text)
{
    QString out;
    for (QChar c : text)
        out += c.unicode() >= 32 && c.unicode() < 127 ? QString(c)
                                                      : QString("<%1>").arg(c.unicode(), 0, 16);
    return out;
}

struct Setup
{
    QChar letter = u'S';
    bool autoSkip = true;
    int skip = 0;
    Fields fields = kStandardFields;
};

// Everything a caller learns from the records, one text per record; the row
// itself cut at `rowCut` units when that is positive.
QStringList readAll(const QByteArray& bytes, const Setup& setup, bool general, qint32 blockSize,
                    qint64 rowLimit, qint64 rowCut, int gzipMembers = 0)
{
    QBuffer buffer;
    buffer.setData(gzipMembers > 0 ? SPSTest::Gzip(bytes, gzipMembers) : bytes);
    buffer.open(QIODevice::ReadOnly);
    SPSReadOptions options;
    options.generalPath = general;
    options.blockSize = blockSize;
    SPSRowReader reader(&buffer, setup.letter, setup.autoSkip, setup.skip, options);
    reader.SetRowLimit(rowLimit);
    QStringList records;
    while (reader.NextRecord()) {
        QString record = QString::number(reader.RowNumber()) + " [" +
                         (rowCut > 0 ? reader.Row().left(rowCut) : reader.Row()) + "]";
        for (const auto& [pos, len] : setup.fields) {
            const QString text = reader.FieldText(pos, len);
            record += QString(" {%1|%2|%3|%4}")
                          .arg(text, bitsOf(reader.RealField(pos, len)),
                               bitsOf(reader.FloatField(pos, len)))
                          .arg(PointNumberFromText(text));
            // The view callers take, whatever form the row came in.
            const SPSText field = reader.Field(pos, len);
            if (field.toString() != text ||
                PointNumberFromText(field) != PointNumberFromText(SPSText(text)))
                record += " field view differs: " + field.toString();
        }
        records << record;
    }
    return records;
}

// Reads the bytes every way and fails on the first difference from the
// general path reading whole rows.
void compareWays(const QByteArray& bytes, const Setup& setup)
{
    const qint64 limit = SPSRowReader::RowLimitFor(setup.fields);
    const QStringList whole = readAll(bytes, setup, true, 0, 0, 0);
    const QStringList cut = limit > 0 ? readAll(bytes, setup, true, 0, 0, limit) : whole;
    for (const Way& way : kWays) {
        const QStringList got =
            readAll(bytes, setup, way.general, way.blockSize, way.limited ? limit : 0,
                    way.limited ? limit : 0, way.gzipMembers);
        const QStringList& expected = way.limited ? cut : whole;
        if (got == expected)
            continue;
        qsizetype i = 0;
        while (i < got.size() && i < expected.size() && got[i] == expected[i])
            ++i;
        const QString g = got.value(i, "(none)");
        const QString e = expected.value(i, "(none)");
        qsizetype at = 0;
        while (at < g.size() && at < e.size() && g[at] == e[at])
            ++at;
        QFAIL(qPrintable(QString("%1 (auto %2, skip %3), record %4 of %5/%6, from unit %7:\n"
                                 " got:      %8\n expected: %9")
                             .arg(way.name)
                             .arg(setup.autoSkip)
                             .arg(setup.skip)
                             .arg(i)
                             .arg(got.size())
                             .arg(expected.size())
                             .arg(at)
                             .arg(shown(g.mid(at, 120)), shown(e.mid(at, 120)))));
    }
}

// Every skip setting worth telling apart.
void compareWaysAllModes(const QByteArray& bytes, Setup setup)
{
    for (const auto& [autoSkip, skip] : {std::pair{true, 0}, {false, 0}, {false, 2}}) {
        setup.autoSkip = autoSkip;
        setup.skip = skip;
        compareWays(bytes, setup);
        if (QTest::currentTestFailed())
            return;
    }
}

QByteArray standardRow(const char* line, const char* point, const char* x)
{
    char row[96];
    std::snprintf(row, sizeof row, "S%-16s%8s1V1 -50 0.0   0 0 0.0 %9s3838302.1  46.0  0 0 0 0",
                  line, point, x);
    return row;
}

QByteArray utf16(const QString& text, bool bigEndian)
{
    QByteArray bytes(bigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8);
        const char lo = char(c.unicode() & 0xFF);
        bytes += bigEndian ? QByteArray{&hi, 1} + QByteArray{&lo, 1}
                           : QByteArray{&lo, 1} + QByteArray{&hi, 1};
    }
    return bytes;
}

// Number texts of the forms toDouble takes and refuses, including ones near
// the edges of the byte-level conversion.
QList<QByteArray> numberTexts()
{
    QList<QByteArray> texts = {
        "1.5",
        "+1.5",
        "-1.5",
        "1.",
        "-1.",
        ".5",
        "-.5",
        "+.5",
        "007.5",
        "-0",
        "-0.0",
        "+0",
        "0",
        "00",
        "-00.10",
        "1e5",
        "1E+05",
        "1e",
        "1.5e-3",
        "1.e5",
        ".e5",
        "0.1e1",
        "1e0001",
        "inf",
        "-inf",
        "+inf",
        "INF",
        "Inf",
        "nan",
        "NaN",
        "-nan",
        "+nan",
        "infinity",
        "0x1A",
        "0x1p3",
        "1,000",
        "1,5",
        "1 000",
        "1e400",
        "-1e400",
        "1e-400",
        "4.9e-324",
        "2.2250738585072011e-308",
        "1e-310",
        "1.7976931348623157e308",
        "1.7976931348623159e308",
        "3.4028235e38",
        "3.40282350e38",
        "3.4028236e38",
        "340282350000000000000000000000000000000",
        "340282356779733661637539395458142568448",
        "1e-46",
        "+",
        "-",
        ".",
        "..",
        "1..2",
        "1.2.3",
        "1e5.5",
        "12a",
        "1_0",
        "--1",
        "+-1",
        "-+1",
        "9007199254740993",
        "1.50000000000000000000000001",
        "0.1",
        "0.2",
        "0.3",
        "688081.8",
        "3838302.1",
        "46.0",
        "\xd9\xa3",
        "1\xc2\xa0"
        "000",
        "\xef\xbc\x91",
        "1'000",
        "1.5f",
        "0b101",
        "1e+",
        "e5",
    };
    // Around the length up to which the bytes are converted directly.
    for (int length : {62, 63, 64, 65, 66, 100, 400}) {
        texts << QByteArray(length, '9');
        texts << "0." + QByteArray(length - 3, '0') + "1";
        texts << "-0." + QByteArray(length - 4, '0') + "1";
        texts << "-" + QByteArray(length - 1, '1');
        texts << "1." + QByteArray(length - 2, '5');
    }
    QRandomGenerator random(20240917);
    const auto digits = [&random](int count) {
        QByteArray d;
        for (int i = 0; i < count; ++i)
            d += char('0' + random.bounded(10));
        return d;
    };
    for (int i = 0; i < 3000; ++i) {
        QByteArray t;
        const int sign = random.bounded(4);
        t += sign == 1 ? "-" : sign == 2 ? "+" : "";
        t += digits(random.bounded(random.bounded(8) == 0 ? 40 : 12));
        if (random.bounded(10) < 7)
            t += "." + digits(random.bounded(random.bounded(8) == 0 ? 40 : 8));
        if (random.bounded(10) == 0)
            t += QByteArray(random.bounded(2) ? "e" : "E") + (random.bounded(2) ? "-" : "") +
                 digits(1 + random.bounded(3));
        if (random.bounded(20) == 0)
            t.insert(random.bounded(int(t.size()) + 1), ",x_ .+-e"[random.bounded(8)]);
        texts << t;
    }
    return texts;
}

// A small random file from pieces that trouble line cutting and decoding.
QByteArray randomFile(QRandomGenerator& random)
{
    static const QByteArray pieces[] = {
        "S",
        "S",
        "S",
        "C",
        "R",
        "H",
        "s",
        " ",
        " ",
        "   ",
        "\t",
        "\r",
        "\n",
        "\n",
        "\r\n",
        "\r\n",
        "1",
        "27",
        "2.5",
        "-",
        ".",
        "e",
        "\x1a",
        QByteArray("\0", 1),
        "\xc3\xa9",         // é
        "\xe3\x80\x80",     // ideographic space, white space outside ASCII
        "\xc2\xa0",         // no-break space
        "\xf0\x9f\x98\x80", // outside the BMP: two UTF-16 units
        "\xff",
        "\xe2\x82",
        "\xc0\xaf",
        "\xef\xbb\xbf",
        "\xed\xa0\x80",
        "SLINE_001             7011V1 -50 0.0   0 0 0.0 688081.8 3838302.1  46.0",
        "                                                                  ",
    };
    QByteArray bytes;
    const int count = random.bounded(random.bounded(6) == 0 ? 400 : 60);
    for (int i = 0; i < count; ++i)
        bytes += pieces[random.bounded(int(std::size(pieces)))];
    return bytes;
}
// The decoder's text for the bytes cut at the given places.
QString decodeInPieces(const QByteArray& bytes, const QList<qsizetype>& cuts)
{
    SPSUtf8Decoder decoder;
    QString text;
    qsizetype from = 0;
    for (qsizetype cut : cuts + QList<qsizetype>{bytes.size()}) {
        decoder.Decode(bytes.constData() + from, cut - from, [&text](char16_t c) {
            text += QChar(c);
            return true;
        });
        from = cut;
    }
    return text;
}

// Qt's reading of a whole buffer, the reference for the decoder.
QString decodeWhole(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}
} // namespace

class TestReaderPaths : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Fields>("fields");

        const QByteArray a = standardRow("LINE_001", "7011", "688081.8");
        const QByteArray b = standardRow("LINE_002", "7031", "688130.6");
        const QByteArray header = "H26 header\r\nH26 second\r\n";
        const QByteArray longText = QByteArray(300000, 'x');
        const QByteArray blanks = QByteArray(90, ' ');

        QTest::newRow("CRLF survey") << header + a + "\r\n" + b + "\r\n" << kStandardFields;
        QTest::newRow("LF, no final line feed") << header + a + "\n" + b << kStandardFields;
        QTest::newRow("CR in mid-row") << header + "S 12\r34   5.5\r\n" + a + "\r\r\n"
                                       << kStandardFields;
        QTest::newRow("lone CR ending the file") << a + "\n" + b + "\r" << kStandardFields;
        QTest::newRow("a last row of CR alone") << a + "\n\r" << kStandardFields;
        QTest::newRow("tabs") << QByteArray("S\tLINE\t12\t\t3.5\t\nS 1\t\t\t\n")
                              << Fields{{1, 5}, {0, 12}, {6, 4}, {9, 9}};
        QTest::newRow("UTF-8 byte-order mark")
            << "\xEF\xBB\xBF" + a + "\r\n" + b << kStandardFields;
        QTest::newRow("byte-order mark only") << QByteArray("\xEF\xBB\xBF") << kStandardFields;
        QTest::newRow("two byte-order marks")
            << "\xEF\xBB\xBF\xEF\xBB\xBF" + a + "\n" + b << kStandardFields;
        QTest::newRow("byte-order mark on a later row") << a + "\n\xEF\xBB\xBF" + b + "\n"
                                                        << kStandardFields;
        QTest::newRow("UTF-16 LE file")
            << utf16(QString::fromLatin1(header + a + "\r\n" + b + "\r\n"), false)
            << kStandardFields;
        QTest::newRow("UTF-16 BE file, non-ASCII")
            << utf16(QString::fromUtf8("S\xc3\xa9t\xc3\xa9  12 \xe2\x82\xac 3.5\nS 1\n"), true)
            << Fields{{1, 4}, {5, 4}, {9, 5}};
        QTest::newRow("UTF-32 LE file") << QByteArray("\xFF\xFE\0\0S\0\0\0"
                                                      "1\0\0\0",
                                                      12)
                                        << Fields{{0, 2}};
        QTest::newRow("non-ASCII names shift the columns")
            << "S\xc3\xa9"
               "cho_\xe5\x8c\x97  \xf0\x9f\x98\x80"
               "7011   688081.8\n" +
                   a + "\n"
            << Fields{{1, 8}, {9, 8}, {17, 10}, {20, 3}};
        QTest::newRow("invalid UTF-8") << "S\xff"
                                          "AB\xc0\xafZ\xed\xa0\x80Q 12.5\n" +
                                              a + "\n"
                                       << Fields{{1, 3}, {4, 6}, {10, 5}, {16, 20}};
        QTest::newRow("broken sequence before line feed")
            << QByteArray("S\xe2\nS\xf0\x9f\r\nS\xf0\x9f\x98\rV\nS1 2") << Fields{{0, 3}, {1, 4}};
        QTest::newRow("broken sequence ending the file") << a + "\nS\r\xe2" << kStandardFields;
        QTest::newRow("broken sequence alone") << QByteArray("\xe2") << kStandardFields;
        QTest::newRow("NUL bytes") << QByteArray("S\0LINE\0  12\0\n\0\0\0\nS 5.5\0\n", 23)
                                   << Fields{{0, 4}, {1, 8}, {2, 20}};
        QTest::newRow("DOS end-of-file mark") << a + "\r\n\x1a" << kStandardFields;
        QTest::newRow("very long row") << a + "\r\n" + a + longText + "\r\n" + b + "\r\n"
                                       << kStandardFields;
        QTest::newRow("very long row of blanks, then text")
            << a + "\n" + blanks + QByteArray(200000, ' ') + "x\n" + b << kStandardFields;
        QTest::newRow("very long non-ASCII row")
            << a + "\n" + "S\xc3\xa9" + QByteArray(100000, ' ') + "\xe3\x80\x80" +
                   QByteArray(5000, '\xc3') + "\n" + b
            << kStandardFields;
        QTest::newRow("blank kept part, text beyond") << a + "\n" + blanks + "x\n" + b + "\n"
                                                      << kStandardFields;
        QTest::newRow("blank kept part, white space beyond")
            << a + "\n" + blanks + "\t\x0b\x0c\r\x1a\xe3\x80\x80\xc2\xa0\n" + b + "\n"
            << kStandardFields;
        QTest::newRow("blank kept part, non-ASCII text beyond")
            << a + "\n" + blanks + "\xc3\xa9\n" + blanks + "\xe2\x80\x8b\n" + b << kStandardFields;
        QTest::newRow("field to the row's end (no limit)") << a + "\n" + a + longText + "\n"
                                                           << Fields{{46, -1}, {-5, -1}, {60, 20}};
        QTest::newRow("fields past a short row") << QByteArray("S1\nS 22\n") << kStandardFields;
    }

    void hostileFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Fields, fields);
        Setup setup;
        setup.fields = fields;
        compareWaysAllModes(bytes, setup);
    }

    void numberForms()
    {
        // One number per row in a wide field, and cut short in a narrow one.
        QByteArray bytes;
        for (const QByteArray& text : numberTexts())
            bytes += "S  " + text + "   \r\n";
        Setup setup;
        setup.fields = {{1, 500}, {3, 12}};
        compareWays(bytes, setup);
    }

    // The byte-level conversion against toDouble and toFloat on many plain
    // decimals, around the lengths where it changes words or ways.
    void plainDecimalsBitForBit()
    {
        // First where writing back takes its short way or gives it up: the
        // sign of 0, beyond 10^12, beyond two decimals, and what is no number.
        static const char* const kEdges[] = {"0",
                                             "-0",
                                             "0.05",
                                             "-0.05",
                                             "0.005",
                                             "-7",
                                             "0.30000000000000004",
                                             "1e12",
                                             "-1e12",
                                             "999999999999.99",
                                             "999999999999.5",
                                             "4503599627370496.5",
                                             "1e21",
                                             "5e-324",
                                             "1e300",
                                             "inf",
                                             "nan",
                                             "600123.45",
                                             "-4200000.1"};
        const QRegularExpression kUsual("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$");
        const QRegularExpression kDigits("^[0-9]{1,9}$");
        QRandomGenerator random(4711);
        QByteArray text;
        for (int i = 0; i < 300000; ++i) {
            text.clear();
            const int sign = random.bounded(4);
            if (sign)
                text += "+-"[sign & 1];
            if (random.bounded(8) == 0)
                text += QByteArray(random.bounded(1, 4), '0');
            const int integer = random.bounded(8) == 0 ? random.bounded(19) : random.bounded(1, 9);
            for (int d = 0; d < integer; ++d)
                text += char('0' + random.bounded(10));
            if (random.bounded(4)) {
                text += '.';
                const int fraction = random.bounded(13);
                for (int d = 0; d < fraction; ++d)
                    text += char('0' + random.bounded(10));
            }
            // Up to and just past the lengths that matter: 8, 16, 17 and 64.
            static const int kLengths[] = {8, 16, 17, 64};
            const int pad = random.bounded(16);
            if (pad < 4 && text.size() < 64) {
                const qsizetype target = kLengths[pad] + random.bounded(-1, 2);
                if (!text.contains('.'))
                    text += '.';
                while (text.size() < target)
                    text += char('0' + random.bounded(10));
            }
            // Now and then a character next to the digits, a second point or
            // one beyond ASCII, anywhere.
            if (random.bounded(16) == 0 && !text.isEmpty())
                text[random.bounded(int(text.size()))] = "/:.x,\xb5\xb0-"[random.bounded(8)];
            if (i < int(std::size(kEdges)))
                text = kEdges[i];
            const QString general = QString::fromLatin1(text);
            bool expectedOk = false;
            const double expected = general.toDouble(&expectedOk);
            double real = 0;
            const bool ok = RealFromText(SPSText(QLatin1StringView(text)), &real);
            const float single = FloatFromText(SPSText(QLatin1StringView(text)));
            if (ok != expectedOk || bitsOf(real) != bitsOf(expected) ||
                bitsOf(single) != bitsOf(general.toFloat()))
                QFAIL(qPrintable(QString("%1: %2 %3 %4, expected %5 %6 %7")
                                     .arg(general)
                                     .arg(ok)
                                     .arg(bitsOf(real), bitsOf(single))
                                     .arg(expectedOk)
                                     .arg(bitsOf(expected), bitsOf(general.toFloat()))));
            // As a row's field: spaces before it. The inline ways must take
            // every usual text and give what the general ones give.
            const QByteArray field = QByteArray(random.bounded(4), ' ') + text;
            const bool usual = kUsual.match(general).hasMatch() &&
                               std::count_if(text.begin(), text.end(),
                                             [](char c) { return c >= '0' && c <= '9'; }) <= 15;
            double inlineValue = 0;
            if (ShortPaddedDecimal(field.constData(), field.size(), &inlineValue) != usual ||
                (usual && (!expectedOk || bitsOf(inlineValue) != bitsOf(expected) ||
                           bitsOf(float(inlineValue)) != bitsOf(general.toFloat()))))
                QFAIL(qPrintable(QString("[%1]: inline %2 %3, expected %4 %5")
                                     .arg(QString::fromLatin1(field))
                                     .arg(usual)
                                     .arg(bitsOf(inlineValue))
                                     .arg(expectedOk)
                                     .arg(bitsOf(expected))));
            // Written back: the shortest fixed notation, as to_chars gives it.
            char ours[400], theirs[400];
            const char* end = WriteFixed(expected, ours, ours + 400);
            const char* theirEnd =
                std::to_chars(theirs, theirs + 400, expected, std::chars_format::fixed).ptr;
            if (expectedOk && QByteArrayView(ours, end) != QByteArrayView(theirs, theirEnd))
                QFAIL(qPrintable(general + ": written back as " + QByteArray(ours, end - ours)));
            qint32 number = 0;
            const bool digits = kDigits.match(general).hasMatch();
            if (ShortPointNumber(text.constData(), text.size(), &number) != digits ||
                (digits && number != PointNumberFromText(SPSText(QLatin1StringView(text)))))
                QFAIL(qPrintable(QString("%1: point number %2").arg(general).arg(number)));
        }
    }

    void randomFiles()
    {
        QRandomGenerator random(77);
        for (int i = 0; i < 400; ++i) {
            const QByteArray bytes = randomFile(random);
            Setup setup;
            setup.autoSkip = random.bounded(2);
            setup.skip = random.bounded(4);
            setup.letter = random.bounded(4) ? u'S' : u'R';
            const int pos = random.bounded(-2, 10);
            setup.fields = {{pos, random.bounded(12)}, {random.bounded(40), 8}, {0, 1}};
            compareWays(bytes, setup);
            if (QTest::currentTestFailed()) {
                qWarning() << "file" << i << bytes.toPercentEncoding();
                return;
            }
        }
    }

    void randomBytes()
    {
        QRandomGenerator random(1234);
        for (int i = 0; i < 150; ++i) {
            QByteArray bytes(random.bounded(2000), Qt::Uninitialized);
            for (char& c : bytes)
                c = char(random.bounded(256));
            Setup setup;
            setup.autoSkip = random.bounded(2);
            setup.fields = {{1, random.bounded(20)}, {random.bounded(30), 8}};
            compareWays(bytes, setup);
            if (QTest::currentTestFailed())
                return;
        }
    }

    void decoderMatchesWholeBufferDecoding()
    {
        // Every lead byte with every second byte, then random bytes biased
        // to sequences; each ends in a line feed as a row does, and is also
        // decoded cut into random pieces.
        QList<QByteArray> inputs;
        for (int a = 0x80; a < 0x100; ++a)
            for (int b = 0; b < 0x100; b += 3) {
                const char row[] = {char(a), char(b), char(0x80 + (a + b) % 64), 'x', '\n'};
                inputs << QByteArray(row, sizeof row);
            }
        QRandomGenerator random(31);
        static const uchar kinds[] = {0x41, 0x80, 0xBF, 0xC2, 0xC0, 0xDF, 0xE0, 0xED, 0xEF,
                                      0xF0, 0xF4, 0xF5, 0xFF, 0x9F, 0xA0, 0x8F, 0x90};
        for (int i = 0; i < 20000; ++i) {
            QByteArray bytes;
            const int size = random.bounded(1, 12);
            for (int k = 0; k < size; ++k)
                bytes += char(random.bounded(3) ? kinds[random.bounded(int(std::size(kinds)))]
                                                : random.bounded(256));
            inputs << bytes + '\n';
        }
        for (const QByteArray& bytes : inputs) {
            const QString expected = decodeWhole(bytes);
            QList<qsizetype> cuts;
            for (qsizetype at = 0; at < bytes.size(); at += random.bounded(1, 4))
                cuts << at;
            QCOMPARE(decodeInPieces(bytes, {}), expected);
            QCOMPARE(decodeInPieces(bytes, cuts), expected);
        }
    }

    void brokenSequenceWhereTheStreamCutsItsReads()
    {
        // QTextStream reads 16 KiB at a time; a broken sequence cut there must
        // not swallow the line feed after it.
        QByteArray bytes = "S1 " + QByteArray(16384 - 5, 'x') + "\xe2\x82\nS2 y\n";
        QCOMPARE(bytes.indexOf('\n'), 16384);
        Setup setup;
        setup.fields = {{0, 2}};
        const QStringList records = readAll(bytes, setup, false, 0, 0, 0);
        QCOMPARE(records.size(), 2);
        QVERIFY(records[0].endsWith("x\uFFFD\uFFFD] {S1|0|0|1}"));
        QCOMPARE(records[1], QString("2 [S2 y] {S2|0|0|2}"));
    }

    void utf16LoadsLikeItsUtf8Twin()
    {
        const QString text = QString::fromUtf8("H header\r\nS\xc3\xa9"
                                               "1    12  688081.8\r\n"
                                               "S2     13  688130.6\r\n");
        Setup setup;
        setup.fields = {{1, 4}, {5, 4}, {9, 10}};
        const QStringList utf8 = readAll(text.toUtf8(), setup, false, 0, 0, 0);
        QCOMPARE(utf8.size(), 2);
        QCOMPARE(readAll(utf16(text, false), setup, false, 0, 0, 0), utf8);
        QCOMPARE(readAll(utf16(text, true), setup, false, 0, 19, 0),
                 readAll(text.toUtf8(), setup, false, 0, 19, 0));
    }

    void rowLimit_data()
    {
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<qint64>("limit");

        QTest::newRow("standard source layout")
            << Fields{{1, 16}, {17, 8}, {32, 4}, {46, 9}, {55, 10}, {65, 6}} << qint64(71);
        QTest::newRow("negative position") << Fields{{-4, 6}} << qint64(2);
        QTest::newRow("empty field before the start") << Fields{{-4, 2}} << qint64(1);
        QTest::newRow("runs to the row's end") << Fields{{1, 16}, {5, -1}} << qint64(0);
        QTest::newRow("beyond 32 bits") << Fields{{2147483647, 2147483647}} << qint64(4294967294);
    }

    void rowLimit()
    {
        QFETCH(Fields, fields);
        QFETCH(qint64, limit);
        QCOMPARE(SPSRowReader::RowLimitFor(fields), limit);
    }
};

QTEST_GUILESS_MAIN(TestReaderPaths)
#include "tst_readerpaths.moc"
