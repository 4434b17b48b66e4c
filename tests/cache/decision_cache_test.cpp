#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <thread>

#include "cards/card_list.h"
#include "support/test_folder.h"
#include "table/cache/decision_cache.h"
#include "table/cache/sqlite.h"
#include "text/windows1251.h"

namespace studlab {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFp = "0123456789abcdef";

std::string Key(int number) {
    return std::string("k").append(std::to_string(number));
}

class DecisionCache : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_root / "Games");
        m_cache.SetGamesDir(m_root / "Games");
    }

    static TDecisionCacheRow Row(const std::string& key, const std::string& caption) {
        return {key, caption + "\r", "1\r", "-100", caption, {"2", "", "", ""}};
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    const testing::TTestFolder m_folder;
    const fs::path m_root = m_folder.Path();
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
    EXPECT_EQ(again.Find("игра", kFp, std::string(155, '0') + "1")->Prompt, "другой");
}

TEST_F(DecisionCache, MatchesStoredKeysThatBeginWithTheKeyIgnoringCase) {
    m_cache.Append("g", kFp, Row("ABC-longer", "x"));
    EXPECT_EQ(m_cache.Find("g", kFp, "abc")->Prompt, "x");
    EXPECT_EQ(m_cache.Find("g", kFp, "abd"), std::nullopt);
    EXPECT_EQ(m_cache.Find("g", kFp, "ABC-longer-still"), std::nullopt);
    // Whatever follows the key, and wildcards of SQL, are plain characters.
    m_cache.Append("g", kFp, Row("k1\xFF", "after the key"));
    m_cache.Append("g", kFp, Row("k%_", "wildcards"));
    EXPECT_EQ(m_cache.Find("g", kFp, "k1")->Prompt, "after the key");
    EXPECT_EQ(m_cache.Find("g", kFp, "k%_")->Prompt, "wildcards");
    EXPECT_EQ(m_cache.Find("g", kFp, "k_"), std::nullopt);
}

// The candidate lists come back whole; the prompt and the result are cut to their sizes.
TEST_F(DecisionCache, KeepsTheListsWholeAndCutsTheOtherTextsInCharacters) {
    std::string captions;
    for (int i = 0; i < 50; ++i)
        captions += "купить карту \r";  // 700 characters, twice as many bytes
    TDecisionCacheRow row = Row(std::string(156, '1'), "x");
    row.Captions = captions;
    row.Values = std::string(400, '7');
    row.Prompt = std::string(150, 'n');
    row.Result = std::string(40, '9');
    m_cache.Append("g", kFp, row);
    const auto found = m_cache.Find("g", kFp, std::string(156, '1'));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->Captions, captions);
    EXPECT_EQ(found->Values, row.Values);
    EXPECT_EQ(found->Prompt.size(), 100U);
    EXPECT_EQ(found->Result.size(), 30U);
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
        EXPECT_EQ(m_cache.Find(name, kFp, "k")->Prompt, Utf8Prefix(name, 100));  // its own row
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

// Files at a game's place that are not ours, each made by the SQL given (none: plain bytes).
TEST_F(DecisionCache, ForeignFilesGiveAMessageAndStayUntouched) {
    const std::string current =
        "CREATE TABLE decisions (Matrix TEXT, Choose TEXT, Choose_N TEXT, MO_r TEXT, Nadpis "
        "TEXT, reshenie1 TEXT, reshenie2 TEXT, reshenie3 TEXT, reshenie4 TEXT, Fingerprint TEXT);"
        "CREATE INDEX decisions_key ON decisions (Fingerprint, Matrix COLLATE NOCASE);";
    const std::string first =
        "CREATE TABLE decisions (Matrix TEXT, Choose TEXT, Choose_N TEXT, MO_r TEXT, Nadpis "
        "TEXT, reshenie1 TEXT, reshenie2 TEXT, reshenie3 TEXT, reshenie4 TEXT);"
        "CREATE INDEX decisions_matrix ON decisions (Matrix COLLATE NOCASE);";
    const std::string ours =
        "PRAGMA application_id=" + std::to_string(TDecisionCache::kApplicationId) +
        "; PRAGMA user_version=" + std::to_string(TDecisionCache::kFormatVersion) + ";";
    struct TCase {
        const char* Name;
        std::optional<std::string> Sql;
    };
    const TCase cases[] = {
        {"not a database", std::nullopt},
        {"another program's table", "CREATE TABLE other (x TEXT); INSERT INTO other VALUES (1);"},
        {"a database without tables", "CREATE TABLE t (x); DROP TABLE t;"},
        {"another program's mark", current + "PRAGMA application_id=42;"},
        {"our mark, another version", current + ours + "PRAGMA user_version=9;"},
        {"our marks, a table more", current + ours + "CREATE TABLE more (x TEXT);"},
        {"our marks, the first table", first + ours},
        {"our table without marks", current},
        {"the first format, an index more", first + "CREATE INDEX more ON decisions (Nadpis);"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const fs::path file = m_cache.FileFor(c.Name);
        if (c.Sql) {
            TSqliteDatabase db(file, TSqliteDatabase::TMode::CreateNew);
            db.Execute(c.Sql->c_str());
        } else {
            std::ofstream(file, std::ios::binary) << std::string(5000, '\x42');
        }
        const std::string before = Read(file);
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                m_cache.Find(c.Name, kFp, "k");
                ADD_FAILURE() << "found in a foreign file";
            } catch (const TDecisionCacheError& e) {
                EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
            }
            EXPECT_THROW(m_cache.Append(c.Name, kFp, Row("k", "x")), TDecisionNotStoredError);
            EXPECT_THROW(m_cache.Clear(c.Name), TDecisionCacheError);
        }
        EXPECT_EQ(Read(file), before);  // also still in its own journal mode
        EXPECT_FALSE(fs::exists(file.string() + "-journal"));
    }
}

TEST_F(DecisionCache, RowsOfAnotherFingerprintStayAndAreNeverServed) {
    const std::string key(156, '0');
    m_cache.Append("g", "aaaaaaaaaaaaaaaa", Row(key, "bet 2"));
    EXPECT_EQ(m_cache.Find("g", "bbbbbbbbbbbbbbbb", key), std::nullopt);
    m_cache.Append("g", "bbbbbbbbbbbbbbbb", Row(key, "bet 10"));
    TDecisionCache fresh(m_root / "Games");
    EXPECT_EQ(fresh.Find("g", "aaaaaaaaaaaaaaaa", key)->Prompt, "bet 2");
    EXPECT_EQ(fresh.Find("g", "bbbbbbbbbbbbbbbb", key)->Prompt, "bet 10");
    EXPECT_EQ(fresh.Info("g").Rows, 2);
}

// Several programs storing their first decisions of a game that has no file yet: every one of
// them succeeds and every row is kept. Each trial starts the writers together on a fresh game.
TEST_F(DecisionCache, WritersStartingTogetherOnANewGameAllStoreEveryRow) {
    constexpr int kTrials = 8;
    constexpr int kWriters = 6;
    constexpr int kRowsEach = 4;
    for (int trial = 0; trial < kTrials; ++trial) {
        const std::string game = "новая " + std::to_string(trial);
        int start[2];
        ASSERT_EQ(pipe(start), 0);
        std::vector<pid_t> writers;
        for (int w = 0; w < kWriters; ++w) {
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                close(start[1]);
                char c;
                while (read(start[0], &c, 1) > 0) {
                }
                try {
                    TDecisionCache cache(m_root / "Games");
                    for (int r = 0; r < kRowsEach; ++r) {
                        const std::string key = std::to_string(w) + "-" + std::to_string(r);
                        cache.Append(game, kFp, Row(key, key));
                    }
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "writer %d: %s\n", w, e.what());
                    _exit(1);
                }
                _exit(0);
            }
            writers.push_back(child);
        }
        close(start[0]);
        close(start[1]);  // every writer starts now
        for (pid_t writer : writers) {
            int status = 0;
            waitpid(writer, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "trial " << trial;
        }
        TDecisionCache cache(m_root / "Games");
        EXPECT_EQ(cache.Info(game).Rows, kWriters * kRowsEach) << "trial " << trial;
        for (int w = 0; w < kWriters; ++w) {
            for (int r = 0; r < kRowsEach; ++r) {
                const std::string key = std::to_string(w) + "-" + std::to_string(r);
                const auto row = cache.Find(game, kFp, key);
                EXPECT_TRUE(row && row->Prompt == key) << "trial " << trial << " row " << key;
            }
        }
    }
}

TEST_F(DecisionCache, ASymbolicLinkAtTheFilesPlaceIsRefusedAndNothingOutsideChanges) {
    const fs::path outside = m_root / "outside";
    fs::create_directories(outside);
    std::ofstream(outside / "empty.sqlite");  // an empty file SQLite would take as a database
    {
        TDecisionCache other(outside);
        other.Append("theirs", kFp, Row("k", "their row"));
    }
    struct TCase {
        const char* Game;
        fs::path Target;
        const char* Suffix;  // the link's place: the file or one of the files beside it
    };
    const TCase cases[] = {
        {"to a missing file", outside / "missing.sqlite", ""},
        {"to an empty file", outside / "empty.sqlite", ""},
        {"to a cache file", outside / "theirs.sqlite", ""},
        {"the log to an empty file", outside / "empty.sqlite", "-wal"},
        {"the journal to an empty file", outside / "empty.sqlite", "-journal"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Game);
        const fs::path link = m_cache.FileFor(c.Game).string() + c.Suffix;
        fs::create_symlink(c.Target, link);
        std::map<fs::path, std::string> before;
        for (const auto& entry : fs::directory_iterator(outside))
            before[entry.path()] = Read(entry.path());
        try {
            m_cache.Append(c.Game, kFp, Row("k", "x"));
            ADD_FAILURE() << "stored through a link";
        } catch (const TDecisionNotStoredError& e) {
            EXPECT_NE(std::string(e.what()).find(link.string()), std::string::npos) << e.what();
        }
        EXPECT_THROW(m_cache.Find(c.Game, kFp, "k"), TDecisionCacheError);
        std::map<fs::path, std::string> after;
        for (const auto& entry : fs::directory_iterator(outside))
            after[entry.path()] = Read(entry.path());
        EXPECT_EQ(after, before);
        EXPECT_TRUE(fs::is_symlink(link));
    }
    // A games folder reached through a link is used as it is.
    fs::create_directory_symlink(m_root / "Games", m_root / "linked");
    TDecisionCache linked(m_root / "linked");
    linked.Append("g", kFp, Row("k", "through the folder's link"));
    EXPECT_EQ(m_cache.Find("g", kFp, "k")->Prompt, "through the folder's link");
}

TEST_F(DecisionCache, AFileWithADamagedPageIsNotWrittenInto) {
    {
        TDecisionCache writer(m_root / "Games");
        for (int i = 0; i < 200; ++i) {
            TDecisionCacheRow row = Row(Key(1000 + i), "строка");
            row.Captions = std::string(250, 'c');
            row.Values = std::string(250, 'n');
            writer.Append("g", kFp, row);
        }
    }  // closed: every row is in the file itself
    const fs::path file = m_cache.FileFor("g");
    ASSERT_FALSE(fs::exists(file.string() + "-wal"));
    {
        // A page in the middle of the rows: the next row would not even touch it.
        std::fstream damage(file, std::ios::binary | std::ios::in | std::ios::out);
        damage.seekp(4096 * 9);
        damage << std::string(4096, '\xA5');
    }
    const std::string before = Read(file);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            m_cache.Append("g", kFp, Row("k9999", "x"));
            ADD_FAILURE() << "written into a damaged file";
        } catch (const TDecisionNotStoredError& e) {
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("повреждён"), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(m_cache.Clear("g"), TDecisionCacheError);
    m_cache.SetGamesDir(m_root / "Games");  // closes the file
    EXPECT_EQ(Read(file), before);
}

// What the current release has written so far: the nine fields, no marks, no fingerprints.
TEST_F(DecisionCache, FilesOfTheFirstFormatAreTakenUpInPlace) {
    const fs::path file = m_cache.FileFor("игра");
    {
        TSqliteDatabase db(file, TSqliteDatabase::TMode::CreateNew);
        db.Execute(
            "PRAGMA journal_mode=WAL;"
            "CREATE TABLE decisions (Matrix TEXT, Choose TEXT, Choose_N TEXT, MO_r TEXT, Nadpis "
            "TEXT, reshenie1 TEXT, reshenie2 TEXT, reshenie3 TEXT, reshenie4 TEXT);"
            "CREATE INDEX decisions_matrix ON decisions (Matrix COLLATE NOCASE);"
            "INSERT INTO decisions VALUES ('k1', 'забиться\r', '1,5\r', '-100', 'забиться', '2', "
            "'', '', '');"
            "INSERT INTO decisions VALUES ('k2', 'сделать пас\r', '-1\r', '-1', 'пас', '1', '', "
            "'', '');");
    }
    const std::string before = Read(file);
    // Their rows were made by some design: none is served, and looking changes nothing.
    EXPECT_EQ(m_cache.Find("игра", kFp, "k1"), std::nullopt);
    EXPECT_EQ(m_cache.Info("игра").Rows, 2);
    m_cache.SetGamesDir(m_root / "Games");
    EXPECT_EQ(Read(file), before);

    m_cache.Append("игра", kFp, Row("k1", "новая"));
    EXPECT_EQ(m_cache.Find("игра", kFp, "k1")->Prompt, "новая");
    TSqliteDatabase db(file, TSqliteDatabase::TMode::OpenExisting);
    EXPECT_EQ(db.QueryNumber("PRAGMA application_id"), TDecisionCache::kApplicationId);
    EXPECT_EQ(db.QueryNumber("PRAGMA user_version"), TDecisionCache::kFormatVersion);
    TSqliteStatement old(db,
                         "SELECT Matrix, Choose, Choose_N, MO_r, Nadpis, reshenie1 FROM decisions "
                         "WHERE Fingerprint IS NULL ORDER BY rowid");
    ASSERT_TRUE(old.Step());
    EXPECT_EQ(old.Text(0) + old.Text(1) + old.Text(2) + old.Text(3) + old.Text(4) + old.Text(5),
              "k1забиться\r1,5\r-100забиться2");
    ASSERT_TRUE(old.Step());
    EXPECT_EQ(old.Text(0), "k2");
    EXPECT_FALSE(old.Step());
    // A file taken up is an ordinary file of ours for every later program.
    TDecisionCache later(m_root / "Games");
    EXPECT_EQ(later.Info("игра").Rows, 3);
    later.Append("игра", kFp, Row("k3", "ещё"));
    EXPECT_EQ(later.Find("игра", kFp, "k3")->Prompt, "ещё");
}

TEST_F(DecisionCache, AFolderThatCannotBeWrittenServesItsRowsAndSaysSoOnce) {
    m_cache.Append("g", kFp, Row("k1", "stored"));
    TDecisionCache reader(m_root / "Games");
    reader.SetWriteCheck([](const fs::path&) { return false; });
    EXPECT_EQ(reader.TakeNotice(), std::nullopt);
    EXPECT_EQ(reader.Find("g", kFp, "k1")->Prompt, "stored");
    reader.Append("g", kFp, Row("k2", "not stored"));
    const std::optional<std::string> notice = reader.TakeNotice();
    ASSERT_TRUE(notice.has_value());
    EXPECT_NE(notice->find((m_root / "Games").string()), std::string::npos) << *notice;
    reader.Append("g", kFp, Row("k3", "not stored either"));
    reader.Append("new game", kFp, Row("k1", "no file for it"));
    EXPECT_EQ(reader.TakeNotice(), std::nullopt);  // once
    EXPECT_EQ(reader.Find("g", kFp, "k2"), std::nullopt);
    EXPECT_THROW(reader.Clear("g"), TDecisionCacheError);
    EXPECT_EQ(m_cache.Info("g").Rows, 1);
    EXPECT_FALSE(fs::exists(reader.FileFor("new game")));
}

// The same with the system's own answer: a user who may not write the folder, with the file
// in use by its writer (its log beside it) and closed (no log).
TEST_F(DecisionCache, AUserWhoMayNotWriteTheFolderReadsItsRows) {
    m_cache.Append("g", kFp, Row("k1", "stored"));
    const auto readAsOtherUser = [&] {
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
            TDecisionCache reader(m_root / "Games");
            try {
                const auto row = reader.Find("g", kFp, "k1");
                if (!row || row->Prompt != "stored") _exit(11);
                reader.Append("g", kFp, Row("k2", "not stored"));
                if (!reader.TakeNotice()) _exit(12);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s\n", e.what());
                _exit(13);
            }
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    fs::permissions(m_root / "Games",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(readAsOtherUser(), 0) << "while the writer has it open";
    m_cache.SetGamesDir(m_root / "Games");  // the writer closes it: the log goes
    ASSERT_FALSE(fs::exists(m_cache.FileFor("g").string() + "-wal"));
    EXPECT_EQ(readAsOtherUser(), 0) << "closed";
    fs::permissions(m_root / "Games", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(m_cache.Info("g").Rows, 1);
}

// A folder every user may write, a game's file that only its owner may write: another user who
// reads it leaves no files of his own beside it, so the owner goes on storing decisions.
TEST_F(DecisionCache, AReaderWhoMayNotWriteTheFileLeavesTheOwnerAbleToStore) {
    if (geteuid() != 0) GTEST_SKIP() << "needs two users";
    const auto runAs = [&](uid_t user, const std::function<bool(TDecisionCache&)>& work) {
        const pid_t child = fork();
        if (child == 0) {
            if (setgid(user) != 0 || setuid(user) != 0) _exit(10);
            TDecisionCache cache(m_root / "Games");
            try {
                _exit(work(cache) ? 0 : 11);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s\n", e.what());
                _exit(12);
            }
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    fs::permissions(m_root, fs::perms::all);
    fs::permissions(m_root / "Games", fs::perms::all);
    constexpr uid_t kOwner = 1;
    constexpr uid_t kReader = 65534;
    ASSERT_EQ(runAs(kOwner,
                    [](TDecisionCache& c) {
                        c.Append("g", kFp, Row("k1", "stored"));
                        return true;
                    }),
              0);
    EXPECT_EQ(runAs(kReader,
                    [](TDecisionCache& c) {
                        const auto row = c.Find("g", kFp, "k1");
                        c.Append("g", kFp, Row("k2", "not stored"));
                        return row && row->Prompt == "stored" && c.TakeNotice().has_value();
                    }),
              0);
    for (const fs::directory_entry& entry : fs::directory_iterator(m_root / "Games")) {
        struct stat info {};
        ASSERT_EQ(::lstat(entry.path().c_str(), &info), 0);
        EXPECT_NE(info.st_uid, kReader) << entry.path();
    }
    EXPECT_EQ(runAs(kOwner,
                    [](TDecisionCache& c) {
                        c.Append("g", kFp, Row("k3", "stored too"));
                        return c.Find("g", kFp, "k3").has_value();
                    }),
              0);
}

TEST_F(DecisionCache, InfoCountsTheRowsAndClearRemovesThemKeepingTheFile) {
    const TDecisionCacheInfo none = m_cache.Info("g");
    EXPECT_FALSE(none.Exists);
    EXPECT_EQ(none.Rows, 0);
    m_cache.Clear("g");  // nothing to clear
    EXPECT_FALSE(fs::exists(m_cache.FileFor("g")));

    for (int i = 0; i < 50; ++i)
        m_cache.Append("g", i % 2 == 0 ? "aaaaaaaaaaaaaaaa" : "bbbbbbbbbbbbbbbb",
                       Row(Key(i), std::string(90, 'x')));
    const TDecisionCacheInfo full = m_cache.Info("g");
    EXPECT_TRUE(full.Exists);
    EXPECT_EQ(full.File, m_cache.FileFor("g"));
    EXPECT_EQ(full.Rows, 50);
    EXPECT_GT(full.Bytes, 0U);

    m_cache.Clear("g");
    const TDecisionCacheInfo cleared = TDecisionCache(m_root / "Games").Info("g");
    EXPECT_EQ(cleared.Rows, 0);
    EXPECT_LT(cleared.Bytes, full.Bytes);
    EXPECT_EQ(m_cache.Find("g", "aaaaaaaaaaaaaaaa", "k0"), std::nullopt);
    m_cache.Append("g", kFp, Row("k", "after clearing"));
    EXPECT_EQ(TDecisionCache(m_root / "Games").Find("g", kFp, "k")->Prompt, "after clearing");
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
    EXPECT_EQ(TDecisionCache(m_root / "Games").Find("g", kFp, key)->Prompt, "первая");
}

// A program killed while it creates a game's file, at moments spread over the creation: the
// file it leaves behind is taken up by the next program, never refused as foreign.
TEST_F(DecisionCache, AKillWhileCreatingAGameLeavesAFileTheNextProgramUses) {
    for (int trial = 0; trial < 20; ++trial) {
        const std::string game = "g" + std::to_string(trial);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TDecisionCache cache(m_root / "Games");
            for (int i = 0;; ++i) cache.Append(game, kFp, Row(std::to_string(i), "x"));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(250 * trial));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        TDecisionCache next(m_root / "Games");
        const std::int64_t rows = next.Info(game).Rows;
        next.Append(game, kFp, Row("next", "the next program's row"));
        EXPECT_EQ(next.Find(game, kFp, "next")->Prompt, "the next program's row") << trial;
        EXPECT_EQ(next.Info(game).Rows, rows + 1) << trial;
    }
}

TEST_F(DecisionCache, ALockedFileIsReportedNotWaitedForForever) {
    m_cache.Append("g", kFp, Row("k", "x"));
    TSqliteDatabase other(m_cache.FileFor("g"), TSqliteDatabase::TMode::OpenExisting);
    other.Execute("BEGIN EXCLUSIVE");
    TDecisionCache cache(m_root / "Games");
    cache.SetBusyTimeout(300);
    EXPECT_THROW(cache.Append("g", kFp, Row("k2", "y")), TDecisionCacheError);
    other.Execute("ROLLBACK");
    cache.Append("g", kFp, Row("k2", "y"));
    EXPECT_EQ(cache.Find("g", kFp, "k2")->Prompt, "y");
}

}  // namespace
}  // namespace studlab
