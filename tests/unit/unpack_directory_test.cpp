// The unpack library's directory reader and name decoding, where the
// archives of the real tools (tests/cmake/unpack.cmake) do not reach: more
// than 65,535 members, and the name rules no tool writes on purpose.
#include <gtest/gtest.h>
#include <windows.h>

#include <zlib.h>

#include <string>
#include <vector>

#include "support/ScratchDir.h"
#include "unpack_zipwriter.h"
#include "ziparchive.h"

namespace {

using ziptest::Put16;
using ziptest::Put32;
using ziptest::Put64;

// `count` empty stored members "D/Fnnnnnn.TXT"; the counts in the classic
// end record are marked all ones, the real ones are in the ZIP64 record
// (left out with `withZip64Record` false).
std::string ManyMembers(unsigned count, bool withZip64Record)
{
    std::string zip, central;
    char name[32];
    for (unsigned i = 0; i < count; ++i) {
        wsprintfA(name, "D/F%06u.TXT", i);
        uint32_t offset = uint32_t(zip.size());
        auto common = [&](std::string& s) {
            Put16(s, 20);
            Put16(s, 0);  // flags
            Put16(s, 0);  // stored
            Put16(s, 0);
            Put16(s, 0x21);
            Put32(s, 0);  // CRC-32 of nothing
            Put32(s, 0);
            Put32(s, 0);
            Put16(s, uint16_t(lstrlenA(name)));
            Put16(s, 0);
        };
        Put32(zip, 0x04034b50);
        common(zip);
        zip += name;
        Put32(central, 0x02014b50);
        Put16(central, 45);
        common(central);
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put32(central, 0x20);
        Put32(central, offset);
        central += name;
    }
    uint64_t cdOffset = zip.size();
    zip += central;
    uint64_t recordPos = zip.size();
    if (withZip64Record) {
        Put32(zip, 0x06064b50);
        Put64(zip, 44);
        Put16(zip, 45);
        Put16(zip, 45);
        Put32(zip, 0);
        Put32(zip, 0);
        Put64(zip, count);
        Put64(zip, count);
        Put64(zip, central.size());
        Put64(zip, cdOffset);
        Put32(zip, 0x07064b50);
        Put32(zip, 0);
        Put64(zip, recordPos);
        Put32(zip, 1);
    }
    Put32(zip, 0x06054b50);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, 0xFFFF);
    Put16(zip, 0xFFFF);
    Put32(zip, uint32_t(central.size()));
    Put32(zip, uint32_t(cdOffset));
    Put16(zip, 0);
    return zip;
}

TEST(UnpackDirectory, ReadsMoreThan65535MembersFromTheZip64EndRecord)
{
    ScratchDir dir("zip64");
    ASSERT_TRUE(WriteWholeFile(dir / "MANY.ZPK", ManyMembers(70000, true)));
    ASSERT_TRUE(WriteWholeFile(dir / "NOREC.ZPK", ManyMembers(10, false)));

    cunpack::ArchiveFile file;
    std::vector<cunpack::ZipMember> members;
    uint64_t limit = 0;
    std::string why;
    ASSERT_TRUE(file.Open((dir / "MANY.ZPK").c_str()));
    ASSERT_TRUE(cunpack::ReadCentralDirectory(file, members, limit, why)) << why;
    ASSERT_EQ(members.size(), 70000u);
    EXPECT_EQ(members[65535].name, "D\\F065535.TXT");
    EXPECT_EQ(members.back().name, "D\\F069999.TXT");
    file.Close();

    // Counts marked as ZIP64 without the ZIP64 record: refused, not read as
    // 65,535 members.
    ASSERT_TRUE(file.Open((dir / "NOREC.ZPK").c_str()));
    EXPECT_FALSE(cunpack::ReadCentralDirectory(file, members, limit, why));
}

std::string Extra7075(const std::string& stored, const std::string& utf8, uint32_t crcDelta = 0)
{
    std::string e;
    Put16(e, 0x7075);
    Put16(e, uint16_t(5 + utf8.size()));
    e += char(1);
    Put32(e, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(stored.data()), uInt(stored.size()))) + crcDelta);
    return e + utf8;
}

TEST(UnpackDirectory, DecodesNamesAsTheFormatSays)
{
    const unsigned dos = 0, fromUnix = 3;
    struct Case {
        const char* what;
        std::string stored;
        uint16_t flags;
        unsigned host;
        std::string extra;
        bool ok;
        std::wstring decoded;
    };
    const std::vector<Case> cases = {
        {"UTF-8 mark", "M\xC3\x9CLLER", 0x800, dos, "", true, L"M\u00DCLLER"},
        {"UTF-8 mark on bytes that are not UTF-8", "M\x9ALLER", 0x800, dos, "", false, L""},
        {"overlong UTF-8 of a slash", "A\xC0\xAF" "B", 0x800, dos, "", false, L""},
        {"unmarked from DOS: code page 437", "M\x9ALLER", 0, dos, "", true, L"M\u00DCLLER"},
        {"unmarked UTF-8 from DOS stays code page 437", "\xC3\x9C", 0, dos, "", true, L"\u251C\u00A3"},
        {"unmarked UTF-8 from Unix", "M\xC3\x9CLLER", 0, fromUnix, "", true, L"M\u00DCLLER"},
        {"unmarked non-UTF-8 from Unix: code page 437", "M\x9ALLER", 0, fromUnix, "", true, L"M\u00DCLLER"},
        {"Unicode Path field of this name", "CAF\x90", 0, dos, Extra7075("CAF\x90", "CAF\xC3\x89!"), true,
         L"CAF\u00C9!"},
        {"stale Unicode Path field is ignored", "CAF\x90", 0, dos, Extra7075("CAF\x90", "OTHER", 1), true,
         L"CAF\u00C9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring decoded;
        std::string why;
        bool ok = cunpack::DecodeMemberName(c.stored, c.flags, c.host,
                                            reinterpret_cast<const unsigned char*>(c.extra.data()), c.extra.size(),
                                            decoded, why);
        EXPECT_EQ(ok, c.ok);
        if (c.ok) {
            EXPECT_TRUE(decoded == c.decoded);
        }
    }
}

TEST(UnpackDirectory, ConvertsToTheAnsiCodePageOnlyExactly)
{
    if (GetACP() != 1252) GTEST_SKIP() << "the table is for code page 1252";
    struct Case {
        const wchar_t* text;
        const char* ansi;  // null: refused
    };
    const Case cases[] = {
        {L"M\u00DCLLER.TXT", "M\xDCLLER.TXT"},
        {L"\u20AC.TXT", "\x80.TXT"},
        {L"\u03A9.TXT", nullptr},  // no Greek in 1252
        {L"\u0142.TXT", nullptr},  // best fit would give "l"
        {L"\uFF21.TXT", nullptr},  // best fit would give "A"
    };
    for (const Case& c : cases) {
        std::string out;
        bool ok = cunpack::WideToAnsiExact(c.text, out);
        EXPECT_EQ(ok, c.ansi != nullptr) << c.ansi;
        if (c.ansi && ok) {
            EXPECT_EQ(out, c.ansi);
        }
    }
}

}  // namespace
