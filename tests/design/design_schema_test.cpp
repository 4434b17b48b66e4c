#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "design/design_fields.h"
#include "design/design_file.h"
#include "design/design_schema.h"
#include "support/test_folder.h"

namespace studlab {
namespace {

namespace fs = std::filesystem;
using enum TFieldKind;
using enum TNumberForm;

// The value lines that loading copies into the design, as the file format lists them; every
// other line may hold anything.
bool LineIsRestored(int line) {
    const std::pair<int, int> ranges[] = {{2, 7},   {13, 18}, {24, 37},   {39, 39},
                                          {41, 46}, {51, 78}, {90, 117}, {120, 150}};
    for (const auto& [from, to] : ranges) {
        if (line >= from && line <= to) return true;
    }
    return false;
}

std::map<std::string, std::string> Listing(const TGameDesign& d, const TCalculationSettings& s) {
    std::map<std::string, std::string> values;
    for (const auto& [name, value] : ListDesignFields(d, s)) values[name] = value;
    return values;
}

std::vector<std::string> FileLines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A value of the field's form that no default has.
std::string OtherValue(const TDesignField& field, const std::string& current) {
    switch (field.Kind) {
        case fkFlag:
            return current == "YES" ? "NO" : "YES";
        case fkOptions:
            for (std::string_view name : field.Options->Names) {
                if (name != current) return std::string(name);
            }
            break;
        case fkText:
            if (field.Form == nfReal) return "-7,25";
            if (field.Form == nfAnyText) return "3";
            return "17";
    }
    ADD_FAILURE() << DesignFieldName(field) << " has no other value";
    return current;
}

// Every field through --set, the listing, the design file and loading: the change reaches that
// field alone, shows in its own file lines, and loading brings it back exactly when those lines
// are restored (a field that is not keeps the value it had).
TEST(DesignSchema, EveryFieldRoundTripsThroughSetSaveAndLoad) {
    const testing::TTestFolder dir;
    const TGameDesign defaultDesign;
    const TCalculationSettings defaultSettings;
    const auto defaults = Listing(defaultDesign, defaultSettings);
    SaveDesignFile(defaultDesign, dir / "default.es1");
    const std::vector<std::string> defaultLines = FileLines(dir / "default.es1");
    ASSERT_EQ(defaultLines.size(), static_cast<std::size_t>(kDesignFileLines));

    std::set<std::string> names;
    for (const TDesignField& field : DesignFields()) {
        const std::string name = DesignFieldName(field);
        SCOPED_TRACE(name);
        EXPECT_TRUE(names.insert(name).second) << "listed twice";
        const std::string value = OtherValue(field, defaults.at(name));

        TGameDesign design;
        TCalculationSettings settings;
        SetDesignField(design, settings, name, value, TValueCheck::NumbersMustConvert);
        auto expected = defaults;
        expected[name] = value;
        EXPECT_EQ(Listing(design, settings), expected);

        SaveDesignFile(design, dir / "changed.es1");
        const std::vector<std::string> lines = FileLines(dir / "changed.es1");
        ASSERT_EQ(lines.size(), defaultLines.size());
        std::vector<int> changed;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] != defaultLines[i]) changed.push_back(static_cast<int>(i) + 1);
        }
        const bool inTheFile = settings == defaultSettings;  // the settings have no lines
        if (!inTheFile) {
            EXPECT_TRUE(changed.empty());
        } else if (field.Kind == fkOptions) {
            EXPECT_EQ(changed.size(), 2U);  // the old option's "YES" and the new one's
        } else {
            EXPECT_EQ(changed.size(), 1U);
        }
        bool restored = inTheFile && !changed.empty();
        for (int line : changed) {
            EXPECT_LE(line, kDesignValueLines);
            restored = restored && LineIsRestored(line);
        }

        TGameDesign loaded;
        LoadDesignFile(dir / "changed.es1", loaded);
        auto after = defaults;
        if (restored) after[name] = value;
        EXPECT_EQ(Listing(loaded, defaultSettings), after) << "restored: " << restored;
    }
    EXPECT_EQ(names.size(), defaults.size());
}

}  // namespace
}  // namespace studlab
