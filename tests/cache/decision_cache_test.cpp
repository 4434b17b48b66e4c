#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include "cards/card_list.h"
#include "table/cache/decision_cache.h"
#include "table/cache/sqlite.h"
#include "text/windows1251.h"

namespace studlab {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFp = "0123456789abcdef";

class DecisionCache : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() /
                 ("studlab-cache-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "Games");
        m_cache.SetGamesDir(m_root / "Games");
    }
    void TearDown() override { fs::remove_all(m_root); }

    static TDecisionCacheRow Row(const std::string& key, const std::string& caption) {
        return {key, caption + "\r", "1\r", "-100", caption, {"2", "", "", ""}};
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path m_root;
    TDecisionCache m_cache{""};
};

TEST(LayoutKey, ThreeDigitsPerCardInScanOrder) {
    const std::string key = LayoutKey(TableOf(ParseCardList("Ah")), TableOf(ParseCardList("Kh")),
                                      TableOf(ParseCardList("2s")));
    ASSERT_EQ(key.size(), 156U);
    EXPECT_EQ(key.substr(0, 15),
              "100000000000010");       // ace of hearts to the dealer, king of hearts to the player
    EXPECT_EQ(key.substr(153), "001");  // the two of spades is out
    EXPECT_EQ(key.find_first_not_of("01"), std::string::npos);
}

TEST_F(DecisionCache, StoresRowsAndFindsTheFirstByKey) {
    const std::string key(156, '0');
    EXPECT_EQ(m_cache.Find("игра", kFp, key), std::nullopt);
    m_cache.Append("игра", kFp, Row(key, "забиться"));
    m_cache.Append("игра", kFp, Row(key, "второй"));
    m_cache.Append("игра", kFp, Row(std::string(155, '0') + "1", "другой"));
    EXPECT_TRUE(fs::exists(m_root / "Games" / "игра.sqlite"));
    const auto found = m_cache.Find("игра", kFp, key);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, Row(key, "забиться"));
    EXPECT_EQ(m_cache.Find("другая игра", kFp, key), std::nullopt);

    // A fresh object (another program run) reads the same file.
    TDecisionCache again(m_root / "Games");
    EXPECT_EQ(again.Find("игра", kFp, std::string(155, '0') + "1")->Nadpis, "другой");
}

TEST_F(DecisionCache, MatchesStoredKeysThatBeginWithTheKeyIgnoringCase) {
    m_cache.Append("g", kFp, Row("ABC-longer", "x"));
    EXPECT_EQ(m_cache.Find("g", kFp, "abc")->Nadpis, "x");
    EXPECT_EQ(m_cache.Find("g", kFp, "abd"), std::nullopt);
    EXPECT_EQ(m_cache.Find("g", kFp, "ABC-longer-still"), std::nullopt);
    // Whatever follows the key, and wildcards of SQL, are plain characters.
    m_cache.Append("g", kFp, Row("k1\xFF", "after the key"));
    m_cache.Append("g", kFp, Row("k%_", "wildcards"));
    EXPECT_EQ(m_cache.Find("g", kFp, "k1")->Nadpis, "after the key");
    EXPECT_EQ(m_cache.Find("g", kFp, "k%_")->Nadpis, "wildcards");
    EXPECT_EQ(m_cache.Find("g", kFp, "k_"), std::nullopt);
}

TEST_F(DecisionCache, CutsLongTextsToTheirSizeInCharacters) {
    std::string captions;
    for (int i = 0; i < 50; ++i)
        captions += "купить карту \r";  // 700 characters, twice as many bytes
    TDecisionCacheRow row = Row(std::string(156, '1'), "x");
    row.Choose = captions;
    row.Nadpis = std::string(150, 'n');
    row.MoR = std::string(40, '9');
    m_cache.Append("g", kFp, row);
    const auto found = m_cache.Find("g", kFp, std::string(156, '1'));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->Choose, Utf8Prefix(captions, 255));
    EXPECT_EQ(Utf8Length(found->Choose), 255U);
    EXPECT_EQ(found->Nadpis.size(), 100U);
    EXPECT_EQ(found->MoR.size(), 30U);
}

TEST_F(DecisionCache, MissingFolderIsNamedAndNothingIsCreated) {
    TDecisionCache cache(m_root / "NoSuchFolder");
    EXPECT_EQ(cache.Find("g", kFp, "k"), std::nullopt);
    try {
        cache.Append("g", kFp, Row("k", "x"));
        ADD_FAILURE();
    } catch (const TDecisionCacheError& e) {
        EXPECT_NE(std::string(e.what()).find((m_root / "NoSuchFolder").string()),
                  std::string::npos);
    }
    EXPECT_FALSE(fs::exists(m_root / "NoSuchFolder"));
}

TEST_F(DecisionCache, EveryGameHasItsOwnFileInsideTheFolder) {
    std::string cyrillic;
    for (int i = 0; i < 130; ++i) cyrillic += "ж";  // 260 bytes
    const std::vector<std::string> names = {"../x",
                                            "..",
                                            "a/b",
                                            "/etc/passwd",
                                            "",
                                            ".hidden",
                                            "c:\\d",
                                            "a:b",
                                            "a_b",
                                            "a%3Ab",
                                            ".x",
                                            "_.x",
                                            "%2Ex",  // names that simple replacing would merge
                                            std::string(251, 'a'),
                                            std::string(250, 'a') + "b",
                                            cyrillic,
                                            cyrillic + "ж"};
    std::set<fs::path> files;
    for (const std::string& name : names) {
        const fs::path file = m_cache.FileFor(name);
        EXPECT_EQ(file.parent_path(), m_root / "Games") << name;
        EXPECT_NE(file.filename().string().front(), '.') << name;  // no hidden files
        EXPECT_LE(file.filename().string().size() + std::string("-journal").size(), 255U) << name;
        files.insert(file);
        m_cache.Append(name, kFp, Row("k", name));
    }
    EXPECT_EQ(files.size(), names.size());
    for (const std::string& name : names)
        EXPECT_EQ(m_cache.Find(name, kFp, "k")->Nadpis, Utf8Prefix(name, 100));  // its own row
    std::size_t outside = 0;
    for (const auto& entry : fs::directory_iterator(m_root))
        outside += entry.path().filename() != "Games";
    EXPECT_EQ(outside, 0U);
}

TEST_F(DecisionCache, AFileDeletedBetweenPressesIsCreatedAgain) {
    m_cache.Append("g", kFp, Row("k1", "first"));
    fs::remove(m_cache.FileFor("g"));
    EXPECT_EQ(m_cache.Find("g", kFp, "k1"), std::nullopt);
    m_cache.Append("g", kFp, Row("k2", "second"));
    TDecisionCache fresh(m_root / "Games");
    EXPECT_EQ(fresh.Find("g", kFp, "k2"), Row("k2", "second"));
}

TEST_F(DecisionCache, DamagedOrForeignFilesGiveAMessageAndStayUntouched) {
    const fs::path damaged = m_cache.FileFor("damaged");
    std::ofstream(damaged, std::ios::binary) << std::string(5000, '\x42');
    const fs::path foreign = m_cache.FileFor("foreign");
    {
        TSqliteDatabase db(foreign, TSqliteDatabase::TMode::CreateNew);
        db.Execute("CREATE TABLE other (x TEXT); INSERT INTO other VALUES ('keep me');");
    }
    for (const char* game : {"damaged", "foreign"}) {
        const fs::path file = m_cache.FileFor(game);
        const std::string before = Read(file);
        EXPECT_THROW(m_cache.Find(game, kFp, "k"), TDecisionCacheError) << game;
        EXPECT_THROW(m_cache.Append(game, kFp, Row("k", "x")), TDecisionCacheError) << game;
        EXPECT_EQ(Read(file), before) << game;
    }
}

TEST_F(DecisionCache, AKillWhileStoringLeavesOnlyWholeRows) {
    const std::string key(156, '1');
    m_cache.Append("g", kFp, Row(key, "первая"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TDecisionCache cache(m_root / "Games");
        for (int i = 0;; ++i)
            cache.Append("g", kFp, Row(std::to_string(i) + key, "строка " + std::to_string(i)));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    TSqliteDatabase db(m_cache.FileFor("g"), TSqliteDatabase::TMode::OpenExisting);
    TSqliteStatement check(db, "PRAGMA integrity_check");
    ASSERT_TRUE(check.Step());
    EXPECT_EQ(check.Text(0), "ok");
    TSqliteStatement rows(db, "SELECT Matrix, Nadpis, reshenie1 FROM decisions WHERE rowid > 1");
    int count = 0;
    while (rows.Step()) {
        const std::string number = rows.Text(0).substr(0, rows.Text(0).size() - key.size());
        EXPECT_EQ(rows.Text(1), "строка " + number);
        EXPECT_EQ(rows.Text(2), "2");
        ++count;
    }
    EXPECT_GT(count, 0);
    EXPECT_EQ(TDecisionCache(m_root / "Games").Find("g", kFp, key)->Nadpis, "первая");
}

TEST_F(DecisionCache, ALockedFileIsReportedNotWaitedForForever) {
    m_cache.Append("g", kFp, Row("k", "x"));
    TSqliteDatabase other(m_cache.FileFor("g"), TSqliteDatabase::TMode::OpenExisting);
    other.Execute("BEGIN EXCLUSIVE");
    TDecisionCache cache(m_root / "Games");
    EXPECT_THROW(cache.Append("g", kFp, Row("k2", "y")), TDecisionCacheError);
    other.Execute("ROLLBACK");
    cache.Append("g", kFp, Row("k2", "y"));
    EXPECT_EQ(cache.Find("g", kFp, "k2")->Nadpis, "y");
}

}  // namespace
}  // namespace studlab
