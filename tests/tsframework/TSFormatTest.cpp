#include "tsframework/TSFormat.h"
#include "TestData.h"
#include "host/objects/LLComError.h"

using namespace Qt::StringLiterals;

namespace {

template <typename... Args> QString fmt(const char16_t* format, const Args&... args) {
    return TSFormatArgs(QStringView(format), args...);
}

} // namespace

TEST(TSFormat, ConversionsTheProgramUses) {
    EXPECT_EQ(fmt(u"No data interface found for node %s (%s)", u"Items"_s, u"MRV_TRN_ITEMS_100"_s),
              u"No data interface found for node Items (MRV_TRN_ITEMS_100)");
    EXPECT_EQ(fmt(u"%d|%i|%ld", -42, 7, 1234567890L), u"-42|7|1234567890");
    EXPECT_EQ(fmt(u"%u", 4000000000u), u"4000000000");
    EXPECT_EQ(fmt(u"%lf", 2.5), u"2.500000");
    EXPECT_EQ(fmt(u"%.2lf", 2.555), u"2.56");
    EXPECT_EQ(fmt(u"100%%"), u"100%");
}

TEST(TSFormat, NegativeStatusCodesPrintAs32BitHex) {
    EXPECT_EQ(fmt(u"HRESULT = 0x%X", E_FAIL), u"HRESULT = 0x80004005");
    EXPECT_EQ(fmt(u"%x", E_INVALIDARG), u"80070057");
    EXPECT_EQ(fmt(u"%u", -1), u"4294967295");
    EXPECT_EQ(fmt(u"%llX", qint64(-1)), u"FFFFFFFFFFFFFFFF");
    EXPECT_EQ(fmt(u"%08X", 255), u"000000FF");
    EXPECT_EQ(fmt(u"%#x", 255), u"0xff");
}

TEST(TSFormat, WidthPrecisionAndFlags) {
    EXPECT_EQ(fmt(u"[%5d][%-5d][%05d][%+d]", 42, 42, -42, 42), u"[   42][42   ][-0042][+42]");
    EXPECT_EQ(fmt(u"[%6s][%-6s][%.3s]", u"ab"_s, u"ab"_s, u"abcdef"_s), u"[    ab][ab    ][abc]");
    EXPECT_EQ(fmt(u"%I64d", qint64(1) << 40), u"1099511627776");
}

TEST(TSFormat, NeverReadsPastItsArguments) {
    EXPECT_EQ(fmt(u"%s and %d"), u"%s and %d");
    EXPECT_EQ(fmt(u"%s and %d", u"one"_s), u"one and %d");
    EXPECT_EQ(fmt(u"%d", 1, 2, 3), u"1");
    EXPECT_EQ(fmt(u"a%nb", 5), u"a%nb"); // %n writes nothing, reads nothing
    EXPECT_EQ(fmt(u"%"), u"%");
    EXPECT_EQ(fmt(u"50%"), u"50%");
}

TEST(TSFormat, MismatchedArgumentsStayReadable) {
    EXPECT_EQ(fmt(u"%d", u"text"_s), u"text");
    EXPECT_EQ(fmt(u"%s", -12), u"-12");
    EXPECT_EQ(fmt(u"%s", 3000000000u), u"3000000000");
    EXPECT_EQ(fmt(u"%d", 3.9), u"3");
    EXPECT_EQ(fmt(u"%c", 65), u"A");
}

TEST(TSFormat, ArgumentTextIsNeverReinterpreted) {
    for (const QString& s : nastyStrings()) {
        EXPECT_EQ(fmt(u"<%s>", s), u'<' + s + u'>');
        EXPECT_EQ(fmt(u"%s|%d", s, 1), s + u"|1"_s);
    }
}

TEST(ComError, CarriesCodeAndText) {
    const ComError plain(E_FAIL);
    EXPECT_EQ(plain.description(), u"Unspecified error");
    EXPECT_EQ(plain.errorMessage(), u"0x80004005: Unspecified error");
    EXPECT_STREQ(plain.what(), "0x80004005: Unspecified error");

    const ComError host(-2028, u"Ungültiger Schlüssel"_s);
    EXPECT_EQ(host.description(), u"Ungültiger Schlüssel");
    EXPECT_EQ(host.errorMessage(), u"0xFFFFF814: Ungültiger Schlüssel");
    EXPECT_TRUE(FAILED(host.code()));
}
