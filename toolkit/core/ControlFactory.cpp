#include "toolkit/core/ControlFactory.h"

#include <map>
#include <mutex>

namespace tessel {

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::u16string, ControlFactory::Maker> makers;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

} // namespace

bool ControlFactory::Register(const std::u16string& className, Maker maker) {
    if (className.empty() || !maker)
        return false;
    auto& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    registry.makers[className] = std::move(maker);
    return true;
}

std::unique_ptr<MControl> ControlFactory::Create(const std::u16string& className, MObject* parent, UINT id,
                                                 const CRect& rect, const char16_t* title, BOOL visible,
                                                 BOOL enabled) {
    Maker maker;
    {
        auto& registry = TheRegistry();
        std::lock_guard guard(registry.lock);
        const auto found = registry.makers.find(className);
        if (found == registry.makers.end())
            return nullptr;
        maker = found->second;
    }
    return maker(parent, id, rect, title, visible, enabled);
}

std::vector<std::u16string> ControlFactory::ClassNames() {
    auto& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    std::vector<std::u16string> names;
    for (const auto& entry : registry.makers)
        names.push_back(entry.first);
    return names;
}

} // namespace tessel
