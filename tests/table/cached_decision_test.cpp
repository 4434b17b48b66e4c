#include <fstream>
#include <iterator>

#include "design/design_fingerprint.h"
#include "table/cache/sqlite.h"
#include "table_fixture.h"
#include "text/number_text.h"
#include "text/windows1251.h"
#include "table/cache/decision_cache.h"

namespace studlab::testing {
namespace {

using enum TPlayerAction;

class CachedDecision : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        std::filesystem::create_directories(Dir() / "Games");
        table.Cache().SetGamesDir(Dir() / "Games");
        settings.UseCacheTable = true;
    }
    void LayOut(std::string_view cards = "2s Ah Ac Kd 9s 7h") {
        SelectGame(design);
        Click(cards);
        ASSERT_TRUE(View().DecideVisible);
    }
    int Rows() {
        const std::filesystem::path file = table.Cache().FileFor("игра");
        if (!std::filesystem::exists(file)) return 0;
        TSqliteDatabase db(file, TSqliteDatabase::TMode::OpenExisting);
        TSqliteStatement count(db, "SELECT count(*) FROM decisions");
        count.Step();
        return std::stoi(count.Text(0));
    }
};

TEST_F(CachedDecision, FirstDecisionIsStoredAndTheSameLayoutIsServedFromTheCache) {
    LayOut();
    table.Decide();
    EXPECT_EQ(Rows(), 1);
    EXPECT_FALSE(View().FromCache);
    const TTableView computed = View();
    const std::uint64_t calls = table.EvaluatorCalls();

    NewLayout();
    Click("2s Ah Ac Kd 9s 7h");
    table.State().Choice1 = "x";
    table.Decide();
    EXPECT_EQ(table.EvaluatorCalls(), calls);  // nothing computed
    EXPECT_EQ(Rows(), 1);                      // nothing stored again
    EXPECT_EQ(View().Prompt, computed.Prompt);
    EXPECT_EQ(View().CandidateCaptions, computed.CandidateCaptions);
    EXPECT_EQ(View().CandidateValues, computed.CandidateValues);
    EXPECT_EQ(State().Choice1, "2");
    EXPECT_TRUE(View().FromCache);
    EXPECT_TRUE(View().ContinueVisible && View().CombinationsVisible && View().CandidatesVisible);
    // A hit restores the stored decision and nothing more: no candidates, no marks, no settlement.
    EXPECT_EQ(State().Candidates.FirstFreeSlot(), 1);
    EXPECT_EQ(State().HandStage, 1);
    ExpectSound();

    // The key holds the cards only: the same cards at another stage share the row.
    table.State().HandStage = 2;
    table.Decide();
    EXPECT_EQ(table.EvaluatorCalls(), calls);
    EXPECT_EQ(Rows(), 1);

    // The mark belongs to the prompt that shows the served decision: the hand going on, or a
    // new layout, takes it away.
    table.State().HandStage = 1;
    table.ContinueHand();
    EXPECT_FALSE(View().FromCache);
    NewLayout();
    Click("2s Ah Ac Kd 9s 7h");
    table.Decide();
    ASSERT_TRUE(View().FromCache);
    NewLayout();
    EXPECT_FALSE(View().FromCache);
}

TEST_F(CachedDecision, OffNeitherReadsNorWrites) {
    settings.UseCacheTable = false;
    LayOut();
    table.Decide();
    EXPECT_FALSE(std::filesystem::exists(table.Cache().FileFor("игра")));
    settings.UseCacheTable = true;
    table.Decide();
    EXPECT_EQ(Rows(), 1);
    settings.UseCacheTable = false;
    const std::uint64_t calls = table.EvaluatorCalls();
    table.Decide();
    EXPECT_GT(table.EvaluatorCalls(), calls);
    EXPECT_EQ(Rows(), 1);
}

// A hit shows the list the decision computed, however long: fourteen candidates here.
TEST_F(CachedDecision, LongCandidateListsComeBackWhole) {
    design.SetAllows(1, paExchange1, true);
    design.SetAllows(1, paExchange2, true);
    LayOut();
    table.Decide();
    const TTableView computed = View();
    ASSERT_GT(computed.CandidateCaptions.size(), 255U);
    table.Decide();
    ASSERT_TRUE(View().FromCache);
    EXPECT_EQ(View().CandidateCaptions, computed.CandidateCaptions);
    EXPECT_EQ(View().CandidateValues, computed.CandidateValues);
}

TEST_F(CachedDecision, TheLastStageStoresItsSettlementWithoutLists) {
    LayOut();
    table.State().HandStage = 5;
    table.Decide();
    ExpectSound();
    TSqliteDatabase db(table.Cache().FileFor("игра"), TSqliteDatabase::TMode::OpenExisting);
    TSqliteStatement row(db, "SELECT Choose, Choose_N, Nadpis FROM decisions");
    ASSERT_TRUE(row.Step());
    EXPECT_EQ(row.Text(0), "");
    EXPECT_EQ(row.Text(1), "");
    EXPECT_EQ(row.Text(2), View().Prompt);
    EXPECT_NE(State().HandResult, kHandNotSettled);
}

TEST_F(CachedDecision, AnUnsettledRandomHandStoresTheNotSettledMark) {
    settings.SameSequence = true;
    SelectGame(design);
    table.RandomDeal();
    TSqliteDatabase db(table.Cache().FileFor("игра"), TSqliteDatabase::TMode::OpenExisting);
    TSqliteStatement first(db, "SELECT MO_r, reshenie1 FROM decisions ORDER BY rowid LIMIT 1");
    ASSERT_TRUE(first.Step());
    EXPECT_EQ(first.Text(0), "-100");
}

TEST_F(CachedDecision, MissingFolderStillShowsTheDecisionAndNamesTheFolder) {
    table.Cache().SetGamesDir(Dir() / "NoGames");
    LayOut();
    try {
        table.Decide();
        ADD_FAILURE();
    } catch (const TDecisionCacheError& e) {
        EXPECT_NE(std::string(e.what()).find((Dir() / "NoGames").string()), std::string::npos);
    }
    EXPECT_EQ(View().Prompt, "забиться");  // decided and shown before the store failed
    EXPECT_EQ(State().Choice1, "2");
    EXPECT_FALSE(std::filesystem::exists(Dir() / "NoGames"));
}

TEST_F(CachedDecision, DamagedFileIsReportedAndLeftAsItWas) {
    const auto file = table.Cache().FileFor("игра");
    std::ofstream(file, std::ios::binary)
        << "not a database at all, not even close, but long enough to look";
    LayOut();
    EXPECT_THROW(table.Decide(), TDecisionCacheError);
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "not a database at all, not even close, but long enough to look");
}

TEST_F(CachedDecision, StoredResultThatIsNotANumberStopsTheHitAfterTheLabels) {
    TDecisionCache cache(Dir() / "Games");
    LayOut();
    const std::string key = LayoutKey(State().DealerCards, State().PlayerCards, State().OutCards);
    cache.Append("игра", DesignFingerprint(design, settings),
                 {key, "a\r", "1\r", "abc", "надпись", {"2", "", "", ""}});
    try {
        table.Decide();
        ADD_FAILURE();
    } catch (const TConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(View().Prompt, "надпись");
    EXPECT_EQ(View().CandidateCaptions, "a\r");
}

}  // namespace
}  // namespace studlab::testing
