#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "design/design_file.h"
#include "support/test_folder.h"
#include "text/windows1251.h"

namespace studlab {
namespace {

namespace fs = std::filesystem;
using enum TCombinationKind;
using enum TPlayerAction;

class DesignFile : public ::testing::Test {
protected:
    fs::path Path(const std::string& name) const { return m_dir / name; }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Write(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // A file whose lines 1..n are given (others empty), CR LF after each.
    static std::string Lines(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines) bytes += line + "\r\n";
        return bytes;
    }

    const testing::TTestFolder m_dir;
};

// The file the default design gives, line by line.
std::vector<std::string> DefaultFileLines() {
    std::vector<std::string> l(305);
    auto set = [&](int from, int to, const std::string& v) {
        for (int i = from; i <= to; ++i) l[i - 1] = v;
    };
    const std::vector<std::string> pays = {"201", "101", "41", "15", "11", "9", "6", "4", "3", "3"};
    for (int i = 0; i < 10; ++i) l[1 + i] = pays[i];
    set(13, 22, "1");
    set(23, 23, "1,2");
    set(24, 36, "1");
    set(37, 37, "2");
    set(38, 39, "1");
    set(40, 40, "NO");
    set(41, 50, "YES");
    set(51, 89, "NO");
    set(90, 91, "YES");
    set(92, 92, "NO");
    set(93, 93, "YES");
    set(94, 99, "NO");
    set(100, 101, "YES");
    set(102, 118, "NO");
    set(119, 126, "YES");
    set(127, 130, "NO");
    set(131, 131, "YES");
    set(132, 133, "NO");
    set(134, 134, "YES");
    set(135, 135, "NO");
    set(136, 136, "YES");
    set(137, 148, "NO");
    set(149, 149, "YES");
    set(150, 150, "NO");
    return l;
}

TEST_F(DesignFile, DefaultDesignWritesTheKnownFileAndReadsBackByteForByte) {
    SaveDesignFile(TGameDesign{}, Path("default.es1"));
    const std::string bytes = Read(Path("default.es1"));
    EXPECT_EQ(bytes, Lines(DefaultFileLines()));

    TGameDesign loaded;
    loaded.BetSize = "changed";
    loaded.Plays[ckFlush] = false;
    EXPECT_EQ(LoadDesignFile(Path("default.es1"), loaded), "default");
    EXPECT_EQ(loaded, TGameDesign{});
    SaveDesignFile(loaded, Path("again.es1"));
    EXPECT_EQ(Read(Path("again.es1")), bytes);
}

TEST_F(DesignFile, RestoresEditableFieldsAndKeepsTheFixedOnes) {
    std::vector<std::string> lines = DefaultFileLines();
    lines[1] = "500";    // royal flush, restored
    lines[7] = "77";     // three of a kind: fixed, ignored
    lines[22] = "9";     // buy one card at stage 1: fixed, ignored
    lines[23] = "3,5";   // buy two cards at stage 1
    lines[38] = "2";     // open dealer cards
    lines[45] = "NO";    // the straight does not play
    lines[49] = "NO";    // ace-king: fixed, ignored
    lines[93] = "YES";   // stage 1 buy two cards: fixed, ignored
    lines[109] = "YES";  // stage 2 buy the dealer a game
    lines[115] = "YES";  // the dealer changes his lowest card
    lines[117] = "YES";  // full insurance: fixed, ignored
    lines[135] = "NO";   // no pair of twos ...
    lines[137] = "YES";  // ... but fours
    lines[128] = "YES";  // pairs insurable
    TGameDesign d;
    Write(Path("variant.es1"), Lines(lines));
    LoadDesignFile(Path("variant.es1"), d);
    EXPECT_EQ(d.PayQualified[ckRoyalFlush], "500");
    EXPECT_EQ(d.PayQualified[ckThreeOfAKind], "6");
    EXPECT_EQ(d.BuyCost[1][1], "1,2");
    EXPECT_EQ(d.BuyCost[1][2], "3,5");
    EXPECT_EQ(d.DealerOpenCards, "2");
    EXPECT_FALSE(d.Plays[ckStraight]);
    EXPECT_TRUE(d.Plays[ckAceKing]);
    EXPECT_FALSE(d.Allows(1, paBuyTwoCards));
    EXPECT_TRUE(d.Allows(2, paBuyDealerGame));
    EXPECT_TRUE(d.DealerBuysLowest);
    EXPECT_FALSE(d.InsuranceFull);
    EXPECT_EQ(d.MinPair, 11);  // fours
    EXPECT_TRUE(d.Insurable[ckPair]);
}

TEST_F(DesignFile, FlagsAreYesExactlyAndRadioGroupsTakeTheLastYes) {
    std::vector<std::string> lines = DefaultFileLines();
    lines[40] = "yes";   // royal flush plays? lower case is off
    lines[41] = "YES ";  // a trailing blank is off
    lines[42] = "1";     // so is a 1
    lines[133] = "YES";  // akAny
    lines[134] = "YES";  // akWithQueen wins
    lines[130] = "NO";   // no deck option at all
    TGameDesign d;
    Write(Path("flags.es1"), Lines(lines));
    LoadDesignFile(Path("flags.es1"), d);
    EXPECT_FALSE(d.Plays[ckRoyalFlush]);
    EXPECT_FALSE(d.Plays[ckStraightFlush]);
    EXPECT_FALSE(d.Plays[ckFourOfAKind]);
    EXPECT_EQ(d.MinAceKing, TMinAceKing::akWithQueen);
    EXPECT_EQ(d.DeckKind, std::nullopt);
}

TEST_F(DesignFile, AShortFileLeavesLaterRestoredFieldsEmptyAndOff) {
    std::vector<std::string> lines = DefaultFileLines();
    lines.resize(40);
    Write(Path("short.es1"), Lines(lines));
    TGameDesign d;
    LoadDesignFile(Path("short.es1"), d);
    EXPECT_EQ(d.PayQualified[ckRoyalFlush], "201");
    EXPECT_EQ(d.DealerOpenCards, "1");
    EXPECT_FALSE(d.Plays[ckRoyalFlush]);
    EXPECT_TRUE(d.Plays[ckPair]);  // fixed, not restored
    EXPECT_FALSE(d.Allows(1, paFold));
    EXPECT_EQ(d.DeckKind, std::nullopt);
    EXPECT_EQ(d.MinAceKing, std::nullopt);
    EXPECT_EQ(d.MinPair, std::nullopt);
    EXPECT_EQ(d.RoundStraight, std::nullopt);
    EXPECT_EQ(d.MinPairRank(), 13);  // computations fall back to the first option

    Write(Path("empty.es1"), "");
    LoadDesignFile(Path("empty.es1"), d);
    EXPECT_EQ(d.PayQualified[ckRoyalFlush], "");
    EXPECT_EQ(d.BetSize, "");
}

TEST_F(DesignFile, ReadsForeignBytesLongLinesAndBareLineFeedsSafely) {
    std::vector<std::string> lines = DefaultFileLines();
    lines[1] = std::string(100000, '9');
    lines[2] = "\x98\xff\x01 \xc0\xc1";  // 0x98 has no character in Windows-1251
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\n";
    Write(Path("odd.es1"), bytes);
    TGameDesign d;
    LoadDesignFile(Path("odd.es1"), d);
    EXPECT_EQ(d.PayQualified[ckRoyalFlush].size(), 100000U);
    EXPECT_EQ(d.PayQualified[ckStraightFlush], "\xEF\xBF\xBDя\x01 АБ");
    EXPECT_EQ(d.BetSize, "2");
    EXPECT_TRUE(d.Plays[ckStraight]);
}

TEST_F(DesignFile, CyrillicTextRoundTripsThroughWindows1251) {
    TGameDesign d;
    d.BetSize = "два";
    d.PayQualified[ckFlush] = "1,5 €";  // the euro sign exists in Windows-1251
    d.PayQualified[ckStraight] = "漢";  // this does not: it becomes '?'
    SaveDesignFile(d, Path("ru.es1"));
    const std::string bytes = Read(Path("ru.es1"));
    EXPECT_NE(bytes.find("\xe4\xe2\xe0\r\n"), std::string::npos);
    TGameDesign back;
    LoadDesignFile(Path("ru.es1"), back);
    EXPECT_EQ(back.BetSize, "два");
    EXPECT_EQ(back.PayQualified[ckFlush], "1,5 €");
    EXPECT_EQ(back.PayQualified[ckStraight], "?");
}

TEST(Windows1251, BytesThatAreNotUtf8StandAloneAndSwallowNothing) {
    // A lone lead byte, one before a character that is no continuation, one cut off at the end.
    EXPECT_EQ(Utf8ToWindows1251("\xe4"
                                "125"),
              "?125");
    EXPECT_EQ(Utf8ToWindows1251("\xc3"
                                "5д"),
              "?5\xe4");
    EXPECT_EQ(Utf8ToWindows1251("1\xd0"), "1?");
    EXPECT_EQ(Utf8Length("ab\xe2\xe0"), 4U);
    EXPECT_EQ(Utf8Prefix("\xe2\xe0xyz", 2), "\xe2\xe0");
}

TEST_F(DesignFile, FailuresReportTheSystemReasonAndChangeNothing) {
    TGameDesign d;
    d.BetSize = "5";
    try {
        LoadDesignFile(Path("missing.es1"), d);
        ADD_FAILURE();
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + Path("missing.es1").string() +
                                             "\". No such file or directory");
    }
    EXPECT_THROW(LoadDesignFile(m_dir.Path(), d), TFileError);
    // Files that would block the reader or never end.
    ASSERT_EQ(mkfifo(Path("pipe.es1").c_str(), 0600), 0);
    for (const std::filesystem::path& special :
         {Path("pipe.es1"), std::filesystem::path("/dev/zero")}) {
        try {
            LoadDesignFile(special, d);
            ADD_FAILURE() << special;
        } catch (const TFileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot open file \"" + special.string() + "\". Not a regular file");
        }
    }
    EXPECT_EQ(d.BetSize, "5");
    try {
        SaveDesignFile(d, Path("no-such-dir/x.es1"));
        ADD_FAILURE();
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" +
                                             Path("no-such-dir/x.es1").string() +
                                             "\". No such file or directory");
    }
}

TEST(GameName, IsTheFileNameLessItsLastFourCharacters) {
    EXPECT_EQ(GameNameOf("/tmp/игры/вариант.es1"), "вариант");
    EXPECT_EQ(GameNameOf("game.es1.es1"), "game.es1");
    EXPECT_EQ(GameNameOf("dir/ab"), "");
    EXPECT_EQ(GameNameOf("ab\xe2.es1"), "ab\xe2");  // a Windows-1251 name keeps its letters
    EXPECT_EQ(GameNameOf("abcd"), "");
    EXPECT_EQ(GameNameOf("abcde"), "a");
}

}  // namespace
}  // namespace studlab
