#include "design/design_fingerprint.h"

#include <algorithm>

#include "design/design_fields.h"
#include "text/fnv1a.h"

namespace studlab {

std::string FingerprintText(const TGameDesign& design, const TCalculationSettings& settings) {
    std::string text;
    for (const TDesignFieldValue& field : ListDesignFields(design, settings)) {
        if (std::find(kFieldsOutsideFingerprint.begin(), kFieldsOutsideFingerprint.end(),
                      field.Name) != kFieldsOutsideFingerprint.end()) {
            continue;
        }
        text += field.Name;
        text += '=';
        text += field.Value;
        text += '\n';
    }
    return text;
}

std::string DesignFingerprint(const TGameDesign& design, const TCalculationSettings& settings) {
    return HexDigits(Fnv1a64(FingerprintText(design, settings)));
}

const std::string& TFingerprintMemo::Of(const TGameDesign& design,
                                        const TCalculationSettings& settings) {
    if (!m_design || *m_design != design || m_settings != settings) {
        m_fingerprint = DesignFingerprint(design, settings);
        m_design = design;
        m_settings = settings;
    }
    return m_fingerprint;
}

}  // namespace studlab
