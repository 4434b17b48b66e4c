#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
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
    lines[63] = "YES";   // composite "фулхаус+фулхаус"
    lines[93] = "YES";   // stage 1 buy two cards
    lines[104] = "YES";  // stage 2 exchange one card
    lines[31] = "0,5";   // its cost
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
    EXPECT_TRUE(d.CompositePlays[13]);
    EXPECT_TRUE(d.Allows(1, paBuyTwoCards));
    EXPECT_TRUE(d.Allows(2, paExchange1));
    EXPECT_EQ(d.ExchangeCost[2][1], "0,5");
    EXPECT_TRUE(d.Allows(2, paBuyDealerGame));
    EXPECT_TRUE(d.DealerBuysLowest);
    EXPECT_FALSE(d.InsuranceFull);
    EXPECT_EQ(d.MinPair, 11);  // fours
    EXPECT_TRUE(d.Insurable[ckPair]);
}

TEST_F(DesignFile, RadioGroupsTakeTheLastYesAndMayBeLeftWithoutAChoice) {
    std::vector<std::string> lines = DefaultFileLines();
    lines[133] = "YES";  // akAny
    lines[134] = "YES";  // akWithQueen wins
    lines[130] = "NO";   // no deck option at all
    TGameDesign d;
    Write(Path("options.es1"), Lines(lines));
    LoadDesignFile(Path("options.es1"), d);
    EXPECT_EQ(d.MinAceKing, TMinAceKing::akWithQueen);
    EXPECT_EQ(d.DeckKind, std::nullopt);
    EXPECT_EQ(d.MinPairRank(), 13);
}

// What may stand in a design file: fewer trailing empty lines, bare line feeds, a last line
// without its break, any text in a number line and in the lines loading ignores, a line as long
// as a line may be.
TEST_F(DesignFile, ReadsEveryFileTheFormatAllows) {
    std::vector<std::string> lines = DefaultFileLines();
    lines[1] = "abc";                                  // royal flush: restored as typed
    lines[2] = std::string(kDesignLineMaxChars, '9');  // straight flush
    lines[7] = "любой текст\t";                        // three of a kind: fixed, ignored
    lines[49] = "yes";                                 // ace-king plays: fixed, ignored
    lines.resize(kDesignValueLines);
    std::string bare;
    for (const std::string& line : lines) bare += line + "\n";
    bare.pop_back();  // the last line without its break
    Write(Path("bare.es1"), Utf8ToWindows1251(bare));
    TGameDesign d;
    EXPECT_EQ(LoadDesignFile(Path("bare.es1"), d), "bare");
    EXPECT_EQ(d.PayQualified[ckRoyalFlush], "abc");
    EXPECT_EQ(d.PayQualified[ckStraightFlush], std::string(kDesignLineMaxChars, '9'));
    EXPECT_EQ(d.PayQualified[ckThreeOfAKind], "6");
    EXPECT_TRUE(d.Plays[ckAceKing]);
    EXPECT_EQ(d.BetSize, "2");
}

// A file that cannot be a design file is refused, naming the file and its first bad line, and
// the design stays as it was.
TEST_F(DesignFile, RefusesFilesThatCannotBeDesignFiles) {
    const auto with = [](std::vector<std::pair<int, std::string>> changes, int count = 305) {
        std::vector<std::string> lines = DefaultFileLines();
        lines.resize(static_cast<std::size_t>(count));
        for (const auto& [line, text] : changes) lines[static_cast<std::size_t>(line - 1)] = text;
        return Lines(lines);
    };
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    struct TCase {
        const char* What;
        std::string Bytes;
        int Line;  // 0: any
    };
    const std::vector<TCase> cases = {
        {"random bytes", noise, 0},
        {"no lines at all", "", 1},
        {"forty lines", with({}, 40), 41},
        {"one line too many", with({}, 305) + "\r\n", 306},
        {"a line as long as a file", with({{2, std::string(100000, '9')}}), 2},
        {"a control character", with({{3, "10\x01"}}), 3},
        {"a byte without a character", with({{4, "\x98"}}), 4},
        {"a lower-case flag", with({{41, "yes"}}), 41},
        {"a flag with a blank", with({{42, "YES "}}), 42},
        {"a flag written as 1", with({{43, "1"}}), 43},
        {"an option that is no flag", with({{136, "да"}}), 136},
        {"text after the value lines", with({{151, "x"}}), 151},
        {"the first of two bad lines", with({{60, "\x02"}, {41, "yes"}}), 41},
    };
    TGameDesign before;
    before.PayQualified[ckFlush] = "12";
    for (const TCase& c : cases) {
        Write(Path("bad.es1"), c.Bytes);
        TGameDesign d = before;
        try {
            LoadDesignFile(Path("bad.es1"), d);
            ADD_FAILURE() << c.What << ": loaded";
        } catch (const TFileError& e) {
            const std::string message = e.what();
            const std::string start =
                "Файл «" + Path("bad.es1").string() + "» — не файл конструкции игры: строка ";
            EXPECT_EQ(message.substr(0, start.size()), start) << c.What;
            if (c.Line != 0) {
                EXPECT_EQ(message.substr(start.size(), std::to_string(c.Line).size() + 1),
                          std::to_string(c.Line) + ":")
                    << c.What << ": " << message;
            }
        }
        EXPECT_EQ(d, before) << c.What;
    }
}

// Lines that end in CR alone (old Mac files) are named as such, not as one overlong line or a
// byte no text holds.
TEST_F(DesignFile, LinesEndingInCrAloneAreNamed) {
    std::vector<std::string> lines = DefaultFileLines();
    std::string crOnly;
    for (const std::string& line : lines) crOnly += line + "\r";
    lines[4] = "3\r4";
    struct TCase {
        const char* What;
        std::string Bytes;
        int Line;
    };
    const TCase cases[] = {
        {"every line", crOnly, 1},
        {"the first lines", "\r\r\r" + Lines(lines), 1},
        {"one line", Lines(lines), 5},
    };
    for (const TCase& c : cases) {
        Write(Path("mac.es1"), c.Bytes);
        TGameDesign d;
        try {
            LoadDesignFile(Path("mac.es1"), d);
            ADD_FAILURE() << c.What << ": loaded";
        } catch (const TFileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Файл «" + Path("mac.es1").string() +
                          "» — не файл конструкции игры: строка " + std::to_string(c.Line) +
                          ": кончается одним знаком CR (так кончаются строки в файлах старых "
                          "Mac), а строки файла конструкции кончаются CR LF")
                << c.What;
        }
        EXPECT_EQ(d, TGameDesign{}) << c.What;
    }
}

// Reading takes no more than a design file can hold, so a huge file of one line costs a read of
// a few kilobytes, not the file.
TEST_F(DesignFile, ReadsNoMoreThanTheFormatCanUse) {
    const fs::path huge = Path("huge.es1");
    Write(huge, std::string(300, 'a'));
    fs::resize_file(huge, std::uintmax_t{1} << 28);  // sparse: 256 MB of one line
    TGameDesign d;
    try {
        LoadDesignFile(huge, d);
        ADD_FAILURE();
    } catch (const TFileError& e) {
        EXPECT_NE(std::string(e.what()).find("строка 1: длиннее 255 знаков"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(d, TGameDesign{});
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
        EXPECT_EQ(std::string(e.what()), "Не удалось открыть файл «" +
                                             Path("missing.es1").string() +
                                             "»: No such file or directory");
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
                      "Не удалось открыть файл «" + special.string() + "»: это не обычный файл");
        }
    }
    EXPECT_EQ(d.BetSize, "5");
    try {
        SaveDesignFile(d, Path("no-such-dir/x.es1"));
        ADD_FAILURE();
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Не удалось сохранить файл «" +
                                             Path("no-such-dir/x.es1").string() +
                                             "»: No such file or directory");
    }
}

// Saving writes a new file beside the old one and puts it in the old one's place: the old file's
// permissions stay, a symbolic link keeps naming the file, and nothing else is left behind.
TEST_F(DesignFile, SaveReplacesTheFileWhole) {
    const fs::path file = Path("game.es1");
    Write(file, "old");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(file, Path("link.es1"));
    TGameDesign d;
    d.BetSize = "7";
    SaveDesignFile(d, Path("link.es1"));
    EXPECT_TRUE(fs::is_symlink(Path("link.es1")));
    TGameDesign back;
    LoadDesignFile(file, back);
    EXPECT_EQ(back.BetSize, "7");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"game.es1", "link.es1"}));
}

// A link that leads out of its folder is not followed: the save says where it leads and changes
// neither the link nor the file it names.
TEST_F(DesignFile, SaveRefusesALinkOutOfItsFolder) {
    fs::create_directory(Path("elsewhere"));
    const fs::path file = Path("elsewhere") / "game.es1";
    Write(file, "old");
    // The link's text as an absolute path and relative to the link's folder.
    for (const fs::path& target : {file, fs::path("elsewhere") / "game.es1"}) {
        fs::remove(Path("link.es1"));
        fs::create_symlink(target, Path("link.es1"));
        TGameDesign d;
        d.BetSize = "7";
        try {
            SaveDesignFile(d, Path("link.es1"));
            ADD_FAILURE() << "saved through a link to " << target;
        } catch (const TFileError& e) {
            EXPECT_NE(std::string(e.what()).find("символьная ссылка на файл в другой папке"),
                      std::string::npos)
                << e.what();
            EXPECT_NE(std::string(e.what()).find("game.es1"), std::string::npos) << e.what();
        }
        EXPECT_EQ(Read(file), "old");
        EXPECT_TRUE(fs::is_symlink(Path("link.es1")));
    }
}

// A save that cannot be completed leaves the old file as it was and says why: a size limit on
// files (the write fails half-way), a value longer than a line can hold.
TEST_F(DesignFile, FailedSaveLeavesTheOldFile) {
    const fs::path file = Path("game.es1");
    SaveDesignFile(TGameDesign{}, file);
    const std::string before = Read(file);
    TGameDesign changed;
    changed.BetSize = "3";

    // The limit applies in a child process, whose verdict comes back as its exit code.
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        const rlimit limit{200, 200};  // bytes; a design file has more than 700
        int verdict = 3;
        if (setrlimit(RLIMIT_FSIZE, &limit) == 0) {
            try {
                SaveDesignFile(changed, file);
                verdict = 1;  // saved in spite of the limit
            } catch (const TFileError& e) {
                const bool saysWhy =
                    std::string(e.what()).find(std::strerror(EFBIG)) != std::string::npos;
                verdict = saysWhy ? 0 : 2;
            }
        }
        _exit(verdict);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "the save ended the process with signal "
                                   << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    if (WIFEXITED(status)) {
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: saved, 2: the message did not say why";
    }
    EXPECT_EQ(Read(file), before);

    changed.PayQualified[ckFlush] = std::string(kDesignLineMaxChars + 1, '1');
    try {
        SaveDesignFile(changed, file);
        ADD_FAILURE();
    } catch (const TFileError& e) {
        EXPECT_NE(std::string(e.what()).find("«флеш: оплата при игре дилера»"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(Read(file), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 1);
}

// Only a regular file or a new name is written: a pipe would block the save for ever (here a
// reader waits on it, so that a save that does not refuse it ends), a folder is no file.
TEST_F(DesignFile, SaveRefusesWhatIsNoRegularFile) {
    ASSERT_EQ(mkfifo(Path("pipe.es1").c_str(), 0600), 0);
    const int reader = open(Path("pipe.es1").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    fs::create_directory(Path("folder.es1"));
    for (const char* name : {"pipe.es1", "folder.es1"}) {
        try {
            SaveDesignFile(TGameDesign{}, Path(name));
            ADD_FAILURE() << name;
        } catch (const TFileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(
                          "Не удалось сохранить файл «" + Path(name).string() + "»: ", 0),
                      0U)
                << e.what();
        }
    }
    char byte = 0;
    EXPECT_LE(read(reader, &byte, 1), 0);  // nothing reached the pipe
    close(reader);
    EXPECT_TRUE(fs::is_fifo(Path("pipe.es1")));
    EXPECT_TRUE(fs::is_directory(Path("folder.es1")));
}

// The file being written beside the target has a short name of its own, so a target whose name
// is as long as a file name may be is saved, new and over an old file.
TEST_F(DesignFile, SavesUnderTheLongestFileNames) {
    for (const std::size_t length : {250, 255}) {
        const fs::path file = Path(std::string(length - 4, 'x') + ".es1");
        TGameDesign d;
        for (const char* bet : {"4", "5"}) {
            d.BetSize = bet;
            SaveDesignFile(d, file);
            TGameDesign back;
            LoadDesignFile(file, back);
            EXPECT_EQ(back.BetSize, bet) << length;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), fs::directory_iterator()), 1)
            << length;
        fs::remove(file);
    }
}

// A file the user may not write is not replaced, although the folder would let him: the save
// says why and leaves the file as it was. Root may write anything, so there the save runs as the
// user nobody, in a folder everyone may write.
TEST_F(DesignFile, SaveRefusesAFileTheUserMayNotWrite) {
    const fs::path folder = Path("open to all");
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::all);
    const fs::path file = folder / "p.es1";
    SaveDesignFile(TGameDesign{}, file);
    const std::string before = Read(file);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
        TGameDesign changed;
        changed.BetSize = "3";
        try {
            SaveDesignFile(changed, file);
            _exit(1);  // replaced
        } catch (const TFileError& e) {
            const std::string expected =
                "Не удалось сохранить файл «" + file.string() + "»: " + std::strerror(EACCES);
            _exit(e.what() == expected ? 0 : 2);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: replaced, 2: another message, 10: no user nobody";
    EXPECT_EQ(Read(file), before);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

// A control character inside a value would break the file into other lines: it is saved as a
// blank. A tab is text that loading takes, so it stays a tab.
TEST_F(DesignFile, ValuesStayOnTheirLines) {
    TGameDesign d;
    d.BetSize = "2\r\n3\x01";
    d.PayQualified[ckFlush] = "5\t5";
    SaveDesignFile(d, Path("lines.es1"));
    TGameDesign back;
    LoadDesignFile(Path("lines.es1"), back);
    EXPECT_EQ(back.BetSize, "2  3 ");
    EXPECT_EQ(back.PayQualified[ckFlush], "5\t5");
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
