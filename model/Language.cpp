#include "model/Language.h"

#include <atomic>

namespace model {

namespace {
std::atomic<int> g_currentLanguage{kLanguageEnglish};
}

int GetCurrentLanguage() {
    return g_currentLanguage.load(std::memory_order_relaxed);
}

void SetCurrentLanguage(int languageId) {
    g_currentLanguage.store(languageId, std::memory_order_relaxed);
}

} // namespace model
