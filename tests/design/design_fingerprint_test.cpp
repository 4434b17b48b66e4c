#include <gtest/gtest.h>

#include <algorithm>

#include "design/deck_capacity.h"
#include "design/design_fields.h"
#include "design/design_fingerprint.h"
#include "text/fnv1a.h"

namespace studlab {
namespace {

using enum TPlayerAction;

// The settings that cannot change a decision, written out here rather than read from the list
// the fingerprint skips: a field wrongly added to that list must fail this test.
bool OutsideFingerprint(const std::string& name) {
    for (const char* outside : {"UseCacheTable", "SameSequence", "HandSeconds"}) {
        if (name == outside) return true;
    }
    return false;
}

// Every field that ListDesignFields names, also one added later, is changed to another value it
// takes: only the settings that cannot change a decision leave the fingerprint as it was.
TEST(DesignFingerprint, EveryFieldButTheListedSettingsChangesIt) {
    const TGameDesign design;
    const TCalculationSettings settings;
    const std::string original = DesignFingerprint(design, settings);
    for (const TDesignFieldValue& field : ListDesignFields(design, settings)) {
        SCOPED_TRACE(field.Name);
        bool done = false;
        for (const char* other :
             {"YES", "NO", "7", "dk53", "akWithQueen", "cmProbabilistic", "imFull", "Q", ""}) {
            TGameDesign d = design;
            TCalculationSettings s = settings;
            try {
                SetDesignField(d, s, field.Name, other);
            } catch (const TFieldError&) {
                continue;
            }
            const auto now = ListDesignFields(d, s);
            const auto it = std::find_if(now.begin(), now.end(),
                                         [&](const auto& f) { return f.Name == field.Name; });
            if (it == now.end() || it->Value == field.Value) continue;
            EXPECT_EQ(DesignFingerprint(d, s) == original, OutsideFingerprint(field.Name))
                << "changed to '" << other << "'";
            done = true;
            break;
        }
        EXPECT_TRUE(done) << "no other value found";
    }
    const auto fields = ListDesignFields(design, settings);
    for (std::string_view name : kFieldsOutsideFingerprint) {
        EXPECT_TRUE(std::any_of(fields.begin(), fields.end(),
                                [&](const auto& f) { return f.Name == name; }))
            << name << " is no field";
    }
}

TEST(DesignFingerprint, IsTheFnv1aHashOfTheNameValueLines) {
    // The published test values of 64-bit FNV-1a.
    EXPECT_EQ(Fnv1a64(""), 0xcbf29ce484222325ULL);
    EXPECT_EQ(Fnv1a64("a"), 0xaf63dc4c8601ec8cULL);
    EXPECT_EQ(Fnv1a64("foobar"), 0x85944171f73967e8ULL);
    EXPECT_EQ(HexDigits(0x00af63dc4c8601ecULL), "00af63dc4c8601ec");

    TGameDesign design;
    TCalculationSettings settings;
    const std::string text = FingerprintText(design, settings);
    EXPECT_EQ(text.rfind("DeckKind=dk52\nPlays[ckPoker]=NO\nPlays[ckRoyalFlush]=YES\n", 0), 0U);
    EXPECT_NE(text.find("\nBetSize=2\n"), std::string::npos);
    EXPECT_NE(text.find("\nProbabilisticCycles=2000\n"), std::string::npos);
    EXPECT_EQ(text.find("UseCacheTable"), std::string::npos);
    EXPECT_EQ(DesignFingerprint(design, settings), HexDigits(Fnv1a64(text)));
    EXPECT_EQ(DesignFingerprint(design, settings).size(), 16U);
}

TEST(DesignFingerprint, TheMemoFollowsEveryChange) {
    TGameDesign design;
    TCalculationSettings settings;
    TFingerprintMemo memo;
    EXPECT_EQ(memo.Of(design, settings), DesignFingerprint(design, settings));
    design.BetSize = "10";
    EXPECT_EQ(memo.Of(design, settings), DesignFingerprint(design, settings));
    settings.CalcMethod = TCalcMethod::cmProbabilistic;
    EXPECT_EQ(memo.Of(design, settings), DesignFingerprint(design, settings));
    settings.UseCacheTable = true;  // no other fingerprint, but asked again all the same
    EXPECT_EQ(memo.Of(design, settings), DesignFingerprint(design, settings));
    design.BetSize = "2";
    EXPECT_EQ(memo.Of(design, settings), DesignFingerprint(TGameDesign{}, settings));
}

TEST(DeckCapacity, BoxesLeaveEveryCardAHandCanTake) {
    struct TCase {
        const char* Name;
        std::vector<std::pair<int, TPlayerAction>> Allowed;
        int HandCards;
        int Boxes;
    };
    const std::vector<TCase> cases = {
        {"the standard game: a card bought at the first decision", {}, 11, 9},
        {"two cards at the first decision", {{1, paBuyTwoCards}}, 12, 9},
        {"five exchanged twice", {{1, paExchange5}, {2, paExchange5}, {2, paExchange1}}, 20, 7},
        {"a game bought for the dealer three times",
         {{2, paBuyDealerGame}, {3, paBuyDealerGame}, {4, paBuyDealerGame}},
         14,
         8},
        {"everything",
         {{1, paExchange5},
          {2, paExchange5},
          {2, paBuyDealerGame},
          {3, paBuyDealerGame},
          {4, paBuyDealerGame}},
         23,
         6},
    };
    for (const TCase& c : cases) {
        TGameDesign design;
        for (const auto& [stage, action] : c.Allowed) design.SetAllows(stage, action, true);
        EXPECT_EQ(CardsOfOneHand(design), c.HandCards) << c.Name;
        EXPECT_EQ(LargestPlayingBoxes(design), c.Boxes) << c.Name;
        EXPECT_LE(c.HandCards + 5 * (c.Boxes - 1), kCards) << c.Name;
        EXPECT_GT(c.HandCards + 5 * c.Boxes, kCards) << c.Name;
    }
}

}  // namespace
}  // namespace studlab
