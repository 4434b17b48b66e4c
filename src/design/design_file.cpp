#include "design/design_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <vector>

#include "text/windows1251.h"

namespace studlab {
namespace {

using enum TCombinationKind;
using enum TPlayerAction;

const std::string kYes = "YES";
const std::string kNo = "NO";

std::string Flag(bool on) {
    return on ? kYes : kNo;
}

// One value line of the file: how it is written and, for restored lines, how it is read back.
struct TLine {
    std::function<std::string(const TGameDesign&)> Write;
    std::function<void(TGameDesign&, const std::string&)> Restore;  // empty: not restored
};

TLine TextLine(TNumberText TGameDesign::*field) {
    return {[field](const TGameDesign& d) { return d.*field; },
            [field](TGameDesign& d, const std::string& v) { d.*field = v; }};
}

template <class Get>
TLine Text(Get get, bool restored) {
    TLine line{[get](const TGameDesign& d) { return get(const_cast<TGameDesign&>(d)); }, {}};
    if (restored) line.Restore = [get](TGameDesign& d, const std::string& v) { get(d) = v; };
    return line;
}

template <class Get>
TLine FlagLine(Get get, bool restored) {
    TLine line{[get](const TGameDesign& d) { return Flag(get(const_cast<TGameDesign&>(d))); }, {}};
    if (restored)
        line.Restore = [get](TGameDesign& d, const std::string& v) { get(d) = v == kYes; };
    return line;
}

// One option of a radio group: "YES" selects it, anything else deselects it only.
template <class T>
TLine OptionLine(std::optional<T> TGameDesign::*group, T option) {
    return {[group, option](const TGameDesign& d) { return Flag(d.*group == option); },
            [group, option](TGameDesign& d, const std::string& v) {
                if (v == kYes) {
                    d.*group = option;
                } else if (d.*group == option) {
                    d.*group = std::nullopt;
                }
            }};
}

const std::vector<TLine>& Lines() {
    static const std::vector<TLine> lines = [] {
        std::vector<TLine> l;
        const auto restoredKind = [](TCombinationKind k) {
            return k >= ckRoyalFlush && k <= ckStraight;
        };
        for (int i = 1; i <= kDesignKindCount; ++i) {
            const TCombinationKind k = KindAt(i);
            l.push_back(Text([k](TGameDesign& d) -> TNumberText& { return d.PayQualified[k]; },
                             restoredKind(k)));
        }
        for (int i = 1; i <= kDesignKindCount; ++i) {
            const TCombinationKind k = KindAt(i);
            l.push_back(Text([k](TGameDesign& d) -> TNumberText& { return d.PayNotQualified[k]; },
                             restoredKind(k)));
        }
        for (int stage = 1; stage <= 2; ++stage) {
            for (int n = 1; n <= 2; ++n) {
                l.push_back(
                    Text([stage, n](TGameDesign& d) -> TNumberText& { return d.BuyCost[stage][n]; },
                         !(stage == 1 && n == 1)));
            }
            for (int n = 1; n <= 5; ++n) {
                l.push_back(Text(
                    [stage, n](TGameDesign& d) -> TNumberText& { return d.ExchangeCost[stage][n]; },
                    true));
            }
        }
        l.push_back(TextLine(&TGameDesign::BetSize));
        l.push_back(
            Text([](TGameDesign& d) -> TNumberText& { return d.BuyDealerGameCost; }, false));
        l.push_back(TextLine(&TGameDesign::DealerOpenCards));
        for (int i = 1; i <= kDesignKindCount; ++i) {
            const TCombinationKind k = KindAt(i);
            l.push_back(
                FlagLine([k](TGameDesign& d) -> bool& { return d.Plays[k]; }, restoredKind(k)));
        }
        for (int i = 0; i < kCompositeCount; ++i) {
            l.push_back(
                FlagLine([i](TGameDesign& d) -> bool& { return d.CompositePlays[i]; }, false));
        }
        for (int i = 0; i < kJokerRuleCount; ++i) {
            l.push_back(FlagLine([i](TGameDesign& d) -> bool& { return d.JokerRules[i]; }, false));
        }
        const auto action = [&](int stage, TPlayerAction a, bool restored) {
            const int index = static_cast<int>(a);
            l.push_back(FlagLine(
                [stage, index](TGameDesign& d) -> bool& { return d.StageActions[stage][index]; },
                restored));
        };
        action(1, paFold, true);
        action(1, paBet, true);
        action(1, paBetInsured, true);
        action(1, paBuyCard, true);
        action(1, paBuyTwoCards, false);
        for (TPlayerAction a : {paExchange1, paExchange2, paExchange3, paExchange4, paExchange5}) {
            action(1, a, false);
        }
        action(2, paFold, true);
        action(2, paBet, true);
        action(2, paBetInsured, true);
        for (TPlayerAction a : {paBuyCard, paBuyTwoCards, paExchange1, paExchange2, paExchange3,
                                paExchange4, paExchange5}) {
            action(2, a, false);
        }
        action(2, paBuyDealerGame, true);
        action(3, paFold, true);
        action(3, paBet, true);
        action(3, paBetInsured, true);
        action(3, paBuyDealerGame, true);
        action(4, paBuyDealerGame, true);
        l.push_back(FlagLine([](TGameDesign& d) -> bool& { return d.DealerBuysLowest; }, true));
        l.push_back(FlagLine([](TGameDesign& d) -> bool& { return d.DealerBuysHighest; }, true));
        l.push_back(FlagLine([](TGameDesign& d) -> bool& { return d.InsuranceFull; }, false));
        l.push_back(FlagLine([](TGameDesign& d) -> bool& { return d.InsuranceHalf; }, false));
        for (int i = 1; i <= kDesignKindCount; ++i) {
            const TCombinationKind k = KindAt(i);
            l.push_back(FlagLine([k](TGameDesign& d) -> bool& { return d.Insurable[k]; }, true));
        }
        for (TDeckKind dk : {TDeckKind::dk52, TDeckKind::dk53, TDeckKind::dk54}) {
            l.push_back(OptionLine(&TGameDesign::DeckKind, dk));
        }
        for (TMinAceKing ak : {TMinAceKing::akAny, TMinAceKing::akWithQueen}) {
            l.push_back(OptionLine(&TGameDesign::MinAceKing, ak));
        }
        for (RankIndex rank = 13; rank >= 1; --rank) {  // pair of twos .. pair of aces
            l.push_back(OptionLine(&TGameDesign::MinPair, rank));
        }
        l.push_back(OptionLine(&TGameDesign::RoundStraight, false));
        l.push_back(OptionLine(&TGameDesign::RoundStraight, true));
        return l;
    }();
    return lines;
}

std::string SystemReason() {
    return std::strerror(errno);
}

// Line breaks inside a value would shift every later line of the file.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

}  // namespace

std::string GameNameOf(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const std::size_t length = Utf8Length(name);
    return length <= 4 ? std::string() : Utf8Prefix(name, length - 4);
}

void SaveDesignFile(const TGameDesign& design, const std::filesystem::path& path) {
    std::string bytes;
    for (const TLine& line : Lines())
        bytes += Utf8ToWindows1251(OneLine(line.Write(design))) + "\r\n";
    for (int i = kDesignValueLines; i < kDesignFileLines; ++i) bytes += "\r\n";

    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw TFileError("Cannot create file \"" + path.string() + "\". " + SystemReason());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw TFileError("Cannot create file \"" + path.string() + "\". " + SystemReason());
}

std::string LoadDesignFile(const std::filesystem::path& path, TGameDesign& design) {
    errno = 0;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        throw TFileError("Cannot open file \"" + path.string() + "\". " + std::strerror(EISDIR));
    }
    // A pipe or a device would block the program or never end.
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        throw TFileError("Cannot open file \"" + path.string() + "\". Not a regular file");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw TFileError("Cannot open file \"" + path.string() + "\". " + SystemReason());

    // Only the first 150 lines matter; a missing line reads as empty.
    std::vector<std::string> values(kDesignValueLines);
    std::string raw;
    for (int i = 0; i < kDesignValueLines && std::getline(in, raw, '\n'); ++i) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        // A line break inside a value could never be saved again: it reads as the writer's blank.
        values[static_cast<std::size_t>(i)] = OneLine(Windows1251ToUtf8(raw));
    }
    if (in.bad()) throw TFileError("Cannot open file \"" + path.string() + "\". " + SystemReason());

    TGameDesign loaded = design;
    const std::vector<TLine>& lines = Lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].Restore) lines[i].Restore(loaded, values[i]);
    }
    design = loaded;
    return GameNameOf(path);
}

}  // namespace studlab
