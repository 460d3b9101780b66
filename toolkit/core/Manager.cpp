#include "toolkit/core/Manager.h"

#include "toolkit/core/LibraryResources.h"
#include "toolkit/platform/Backend.h"
#include "toolkit/platform/VirtualKeys.h"
#include "toolkit/platform/Window.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace tessel {

namespace {

// Written by the program (usually once at start-up) and read from any thread that looks up fonts,
// so every access takes the lock and readers get copies.
struct Settings {
    std::mutex lock;
    std::u16string fontName = u"HarmonyOS Sans SC";
    int fontSize = 20;
};

Settings& TheSettings() {
    static Settings settings;
    return settings;
}

// Windows resource type names match regardless of case; ours do the same for ASCII.
std::u16string UpperAscii(std::u16string text) {
    for (auto& c : text)
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - u'a' + u'A');
    return text;
}

struct ProgramResources {
    std::mutex lock;
    std::map<std::pair<int, std::u16string>, ResourceBytes> byIdAndType;
};

ProgramResources& TheResources() {
    static ProgramResources resources;
    return resources;
}

} // namespace

void Manager::SetFontName(const std::u16string& name) {
    if (name.empty())
        return;
    auto& settings = TheSettings();
    std::lock_guard guard(settings.lock);
    settings.fontName = name;
}

void Manager::SetFont(const std::u16string& name, int size) {
    auto& settings = TheSettings();
    std::lock_guard guard(settings.lock);
    if (!name.empty())
        settings.fontName = name;
    if (size >= 1)
        settings.fontSize = size;
}

std::u16string Manager::GetFontName() {
    auto& settings = TheSettings();
    std::lock_guard guard(settings.lock);
    return settings.fontName;
}

int Manager::GetFontWidth() {
    auto& settings = TheSettings();
    std::lock_guard guard(settings.lock);
    return settings.fontSize;
}

Argb Manager::GetSelectColor() {
    return 0xFFFF3300;
}

std::u16string Manager::GetTheme() {
    return u"theme1\\";
}

void Manager::AddResource(int id, const std::u16string& type, std::vector<uint8_t> bytes) {
    auto shared = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    auto& resources = TheResources();
    std::lock_guard guard(resources.lock);
    resources.byIdAndType[{id, UpperAscii(type)}] = std::move(shared);
}

void Manager::ClearResources() {
    auto& resources = TheResources();
    std::lock_guard guard(resources.lock);
    resources.byIdAndType.clear();
}

ResourceBytes Manager::FindResource(int id, const std::u16string& type, ResourceModule module) {
    if (module == ResourceModule::Library) {
        // The library carries only its two PNG strips as bytes; its faces live in the fonts folder.
        if (UpperAscii(type) != u"PNG")
            return nullptr;
        const auto bytes = detail::LibraryResource(id);
        if (bytes.empty())
            return nullptr;
        return std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
    }
    auto& resources = TheResources();
    std::lock_guard guard(resources.lock);
    const auto found = resources.byIdAndType.find({id, UpperAscii(type)});
    return found == resources.byIdAndType.end() ? nullptr : found->second;
}

namespace {

struct WindowRegistry {
    std::mutex lock;
    HINSTANCE instance = nullptr;
    std::vector<MWindow*> windows;
};

WindowRegistry& TheWindows() {
    static WindowRegistry registry;
    return registry;
}

} // namespace

void Manager::SetInstance(HINSTANCE instance) {
    std::lock_guard guard(TheWindows().lock);
    TheWindows().instance = instance;
}

HINSTANCE Manager::GetInstance() {
    std::lock_guard guard(TheWindows().lock);
    return TheWindows().instance;
}

bool Manager::InitGdiplus() {
    return InitPlatform();
}

BOOL Manager::PreTranslateMessage(const MSG*) {
    return (GetKeyState(VK_MENU) & 0x8000) && (GetKeyState(VK_F4) & 0x8000);
}

int Manager::MessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        if (PreTranslateMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}

void Manager::AddWnd(MWindow* window) {
    std::lock_guard guard(TheWindows().lock);
    auto& windows = TheWindows().windows;
    if (window && std::find(windows.begin(), windows.end(), window) == windows.end())
        windows.push_back(window);
}

void Manager::DeleteWnd(MWindow* window) {
    std::lock_guard guard(TheWindows().lock);
    std::erase(TheWindows().windows, window);
}

bool Manager::HasWnd(MWindow* window) {
    std::lock_guard guard(TheWindows().lock);
    auto& windows = TheWindows().windows;
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

} // namespace tessel
