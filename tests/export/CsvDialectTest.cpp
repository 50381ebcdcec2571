#include <gtest/gtest.h>

#include "export/CsvDialect.h"
#include "export/LocaleDecimal.h"
#include "export/TextEncoding.h"

namespace {

// Decodes one UTF-8 sequence; -1 when malformed.
long decodeOne(const std::string& s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    if (s.size() == 1 && b(0) < 0x80) return b(0);
    if (s.size() == 2 && (b(0) & 0xE0) == 0xC0 && (b(1) & 0xC0) == 0x80) return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    if (s.size() == 3 && (b(0) & 0xF0) == 0xE0 && (b(1) & 0xC0) == 0x80 && (b(2) & 0xC0) == 0x80)
        return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    return -1;
}

TEST(TextEncoding, EveryWindows1252CodeIsOneCharacter) {
    // The Unicode mapping of 0x80..0x9F; 0 where Windows-1252 defines none.
    const long high[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                           0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                           0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
    for (int c = 0; c < 256; ++c) {
        const std::string in(1, static_cast<char>(c));
        long expected = c >= 0x80 && c < 0xA0 && high[c - 0x80] ? high[c - 0x80] : c;
        EXPECT_EQ(decodeOne(windows1252ToUtf8(in)), expected) << "code " << c;
        if (c >= 0x80 && c < 0xA0 && !high[c - 0x80]) expected = 0xFFFD;
        EXPECT_EQ(decodeOne(windows1252ToUtf8(in, true)), expected) << "code " << c;
    }
}

TEST(LocaleDecimal, NamesOfLocales) {
    const std::pair<const char*, bool> cases[] = {
        {"de_DE.UTF-8", true}, {"de_CH.UTF-8", false}, {"fr_CA", true},  {"pt-BR", true},  {"es_MX.utf8", false},
        {"es_es", true},       {"en_US.UTF-8", false}, {"C.UTF-8", false}, {"POSIX", false}, {"", false},
        {"sv_SE@euro", true},  {"it_CH", false},       {"ru", true},      {"ja_JP.eucJP", false}};
    for (const auto& [name, comma] : cases) EXPECT_EQ(localeWritesDecimalComma(name), comma) << name;
}

CsvDialect dialectOf(char delimiter, bool decimalComma, bool trim, CsvDialect::TimeStyle time = CsvDialect::TimeStyle::AsExported) {
    CsvDialect d;
    d.delimiter = delimiter;
    d.decimalComma = decimalComma;
    d.trim = trim;
    d.time = time;
    d.lineEnd = CsvDialect::LineEnd::Lf;
    return d;
}

TEST(CsvRewriter, LinesFieldByField) {
    using T = CsvDialect::TimeStyle;
    struct Case {
        CsvDialect dialect;
        const char* line;
        std::size_t fields;
        const char* expected;
    } cases[] = {
        // Only plain numbers take the decimal comma; quoted text stays.
        {dialectOf(';', true, false, T::AsExported), "\"0:00:00:01.50\",     1.25,   -12.00", 0, "\"0:00:00:01.50\";     1,25;   -12,00\n"},
        {dialectOf(';', true, true, T::AsExported), "12/31/2003 ,13:05:09,1,\"High 1  \",    12.345", 5, "12/31/2003;13:05:09;1;\"High 1  \";12,345\n"},
        // A label comes last and keeps its comma, dot and quotes.
        {dialectOf(';', false, true, T::AsExported), "12/31/2003 ,13:06:00,\"Event: 1\",\"a\",\"b.c\"", 4, "12/31/2003;13:06:00;\"Event: 1\";\"a\"\",\"\"b.c\"\n"},
        {dialectOf(',', false, true, T::Iso), "\"02/29/2004 23:59:59.00\",     2.00", 0, "2004-02-29T23:59:59.00,2.00\n"},
        {dialectOf(';', false, true, T::Iso), "02/29/2004 ,23:59:59,1", 3, "2004-02-29;23:59:59;1\n"},
        // Elapsed days of any number, and a time text it does not know kept.
        {dialectOf(';', true, false, T::Seconds), "\"400:01:02:03.04\", 1.00", 0, "34563723,04; 1,00\n"},
        {dialectOf(',', false, false, T::Seconds), "\"soon\", 1.00", 0, "\"soon\", 1.00\n"},
        {dialectOf(',', false, false, T::Iso), "\"Sample 3\",1", 0, "\"Sample 3\",1\n"},
        // A delimiter met in a plain field quotes it.
        {dialectOf(':', false, false, T::AsExported), "12/31/2003 ,13:06:00,1", 3, "12/31/2003 :\"13:06:00\":1\n"},
        // Signs, a second point, blanks only, an empty line, an open quote.
        {dialectOf(';', true, true, T::AsExported), "+1.50,1.2.3,   ,-", 0, "+1,50;1.2.3;;-\n"},
        {dialectOf(',', false, false, T::AsExported), "", 0, "\n"},
        {dialectOf(',', false, false, T::AsExported), "\"ab", 0, "\"\"\"ab\"\n"},
        // A date alone; times that only look like the style's.
        {dialectOf(',', false, false, T::Iso), "\"12/31/2003\",1", 0, "2003-12-31,1\n"},
        {dialectOf(',', false, false, T::Iso), "\"12/31/2003 noon\",1", 0, "\"12/31/2003 noon\",1\n"},
        {dialectOf(',', false, false, T::Seconds), "\"0:00:00:01.50x\",1", 0, "\"0:00:00:01.50x\",1\n"},
        {dialectOf(',', false, false, T::Seconds), "\"1000000001:00:00:00.00\",1", 0, "\"1000000001:00:00:00.00\",1\n"},
    };
    for (const Case& c : cases) {
        CsvRewriter rewriter(c.dialect);
        std::string out;
        rewriter.line(c.line, c.fields, out);
        EXPECT_EQ(out, c.expected) << c.line;
    }
}

TEST(CsvRewriter, MarkAndRowCountPerFile) {
    CsvDialect d = dialectOf(',', false, false);
    d.encoding = CsvDialect::Encoding::Utf8;
    d.byteOrderMark = true;
    d.lineEnd = CsvDialect::LineEnd::CrLf;
    d.timeTitle = "Elapsed seconds";
    CsvRewriter rewriter(d);
    std::string out;
    rewriter.startFile(out);
    rewriter.header({"Elapsed time", "T (\xB0" "C)"}, out);
    const std::string rows = "\"0\", 1.00\n\"1\", 2.00\n\"2\", 3.00\n";
    rewriter.rows(rows.data(), rows.size(), out);
    rewriter.startFile(out);
    rewriter.header({"Elapsed time", "T (\xB0" "C)"}, out);
    rewriter.rows(rows.data(), 10, out);
    EXPECT_EQ(out, "\xEF\xBB\xBF\"Elapsed seconds\",\"T (\xC2\xB0" "C)\"\r\n\"0\", 1.00\r\n\"1\", 2.00\r\n\"2\", 3.00\r\n"
                   "\xEF\xBB\xBF\"Elapsed seconds\",\"T (\xC2\xB0" "C)\"\r\n\"0\", 1.00\r\n");
    EXPECT_EQ(rewriter.mostRowsInOneFile(), 3u);
}

TEST(CsvDialect, DefaultAndRefusedCombinations) {
    const auto with = [](auto change) {
        CsvDialect d;
        change(d);
        return d;
    };
    const std::string quote = "the delimiter cannot be a quote or a line end";
    const std::string comma = "--decimal-comma needs a delimiter other than the comma (such as --delimiter ';')";
    const struct { CsvDialect d; bool isDefault; std::string problem; } cases[] = {
        {CsvDialect{}, true, ""},
        {with([](CsvDialect& d) { d.delimiter = ';'; }), false, ""},
        {with([](CsvDialect& d) { d.trim = true; }), false, ""},
        {with([](CsvDialect& d) { d.encoding = CsvDialect::Encoding::Utf8; }), false, ""},
        {with([](CsvDialect& d) { d.encoding = CsvDialect::Encoding::Utf8, d.byteOrderMark = true; }), false, ""},
        {with([](CsvDialect& d) { d.lineEnd = CsvDialect::LineEnd::Lf; }), false, ""},
        {with([](CsvDialect& d) { d.time = CsvDialect::TimeStyle::Iso; }), false, ""},
        {with([](CsvDialect& d) { d.timeTitle = "t"; }), false, ""},
        {with([](CsvDialect& d) { d.decimalComma = true, d.delimiter = '\t'; }), false, ""},
        {with([](CsvDialect& d) { d.decimalComma = true; }), false, comma},
        {with([](CsvDialect& d) { d.byteOrderMark = true; }), false, "--bom marks UTF-8 text; it does not go with --encoding cp1252"},
        {with([](CsvDialect& d) { d.delimiter = '"'; }), false, quote},
        {with([](CsvDialect& d) { d.delimiter = '\r'; }), false, quote},
        {with([](CsvDialect& d) { d.delimiter = '\n'; }), false, quote},
        {with([](CsvDialect& d) { d.delimiter = '\0'; }), false, quote},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].d.isDefault(), cases[i].isDefault) << i;
        EXPECT_EQ(cases[i].d.problem(), cases[i].problem) << i;
    }
}

}  // namespace
