#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The named diagnostics that reading, parsing and writing an XML document leave behind.
namespace io {

/// One diagnostic: its type ("lone_end_tag", "bom", "conversion_loss", ...) and whichever of the
/// other fields apply; numbers that do not apply are -1.
struct XmlDiagnostic {
    std::string type;
    std::u16string tagname;
    std::string msg;
    std::string encoding;
    int64_t offset = -1;
    int64_t offset2 = -1;
    int64_t length = -1;
    int64_t count = -1;
};

/// A bounded list of diagnostics: a damaged file with a million stray end tags keeps the first
/// kMaxEntries and only counts the rest, so the log never costs more than the document itself.
class XmlResultLog {
public:
    static constexpr size_t kMaxEntries = 1000;

    void Add(XmlDiagnostic diagnostic) {
        if (m_entries.size() < kMaxEntries) {
            m_entries.push_back(std::move(diagnostic));
        } else {
            ++m_dropped;
        }
    }
    void Clear() {
        m_entries.clear();
        m_dropped = 0;
    }
    /// Whether an entry of that type was recorded (among the kept ones).
    bool Has(std::string_view type) const {
        for (const XmlDiagnostic& entry : m_entries) {
            if (entry.type == type) {
                return true;
            }
        }
        return false;
    }
    const std::vector<XmlDiagnostic>& GetEntries() const { return m_entries; }
    /// How many entries were counted but not kept.
    size_t GetDroppedCount() const { return m_dropped; }

private:
    std::vector<XmlDiagnostic> m_entries;
    size_t m_dropped = 0;
};

} // namespace io
