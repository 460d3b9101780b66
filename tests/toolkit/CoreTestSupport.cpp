#include "tests/toolkit/CoreTestSupport.h"

#include "toolkit/core/PaintManager.h"

namespace tessel::test {

TestPicture::TestPicture(MObject* parent, UINT id, const CRect& rect, const char16_t* title, BOOL visible,
                         BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1) {}

BOOL TestPicture::DrawControl(Graphics& g, const CRect&) {
    ++draws;
    const Argb color = !m_enabled ? kDisabled : pressed ? kPressed : hover ? kHover : kNormal;
    // The drawing is cached and rebuilt only when the cache is stale, as real controls do.
    if (!GetUpdate() || !GetMemDC()) {
        ++rebuilds;
        Surface* cache = UpdateMemDC(g, m_rect.Width(), m_rect.Height());
        if (!cache)
            return 0;
        Graphics cacheGraphics(*cache);
        cacheGraphics.Clear(color);
    }
    g.DrawImage(*GetMemDC(), m_rect.left, m_rect.top);
    return 1;
}

BOOL TestPicture::OnControlMouseMove(UINT, CPoint point) {
    events.push_back("move " + std::to_string(point.x) + "," + std::to_string(point.y));
    const bool inside = m_rect.Contains(point);
    if (inside != hover) {
        hover = inside;
        UpdateControl(1);
    }
    return takesMoves;
}

BOOL TestPicture::OnControlLButtonDown(UINT, CPoint point) {
    events.push_back("down " + std::to_string(point.x) + "," + std::to_string(point.y));
    pressed = true;
    UpdateControl(1);
    SendMessageW(NM_PRESSED, 0, 0);
    return 1;
}

BOOL TestPicture::OnControlLButtonUp(UINT, CPoint point) {
    events.push_back("up " + std::to_string(point.x) + "," + std::to_string(point.y));
    const bool click = pressed && m_rect.Contains(point);
    pressed = false;
    UpdateControl(1);
    // The owner may delete this control while handling the click: nothing is touched after it.
    if (click)
        return SendMessageW(NM_CLICKED, 0, 0) || true;
    return 1;
}

BOOL TestPicture::OnControlRButtonDown(UINT, CPoint point) {
    events.push_back("rdown " + std::to_string(point.x) + "," + std::to_string(point.y));
    return 1;
}

BOOL TestPicture::OnControlScroll(UINT kind, UINT direction, CPoint) {
    events.push_back("scroll " + std::to_string(kind) + "," + std::to_string(direction));
    return 1;
}

BOOL TestPicture::OnControlKeyDown(UINT vk, UINT, UINT modifiers) {
    events.push_back("key " + std::to_string(vk) + "," + std::to_string(modifiers));
    return acceptsKey != 0 && vk == acceptsKey;
}

BOOL TestPicture::OnControlTimer() {
    ++timerTicks;
    return 1;
}

void TestPicture::SetControlVisible(BOOL on) {
    ++visibleStores;
    MControlFont::SetControlVisible(on);
}

LRESULT TestPicture::OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

void CoreTest::SetUp() {
    ASSERT_TRUE(InitPlatform(BackendKind::Headless));
    Screen().SetScreen({0, 0, 1920, 1080}, {0, 0, 1920, 1080});
    Screen().MoveMouse(1900, 1070);
    ControlFactory::Register(u"TestPicture", [](MObject* parent, UINT id, const CRect& rect,
                                                const char16_t* title, BOOL visible, BOOL enabled) {
        return std::make_unique<TestPicture>(parent, id, rect, title, visible, enabled);
    });
    ASSERT_NE(m_dialog.Create(nullptr, u"core test", WS_POPUP | WS_VISIBLE, 0,
                              RECT{kLeft, kTop, kLeft + 400, kTop + 300}),
              nullptr);
    Pump();
}

void CoreTest::TearDown() {
    m_dialog.DestroyWindow();
    ReleaseCapture();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void CoreTest::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (m_dialog.PreTranslateMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

TestPicture* CoreTest::Add(UINT id, const CRect& rect) {
    return static_cast<TestPicture*>(m_dialog.CreateControl(u"TestPicture", id, rect));
}

void CoreTest::MoveTo(int x, int y) {
    Screen().MoveMouse(kLeft + x, kTop + y);
    Pump();
}

void CoreTest::Press(int x, int y) {
    MoveTo(x, y);
    Screen().PressButton(HeadlessBackend::Button::Left);
    Pump();
}

void CoreTest::Release(int x, int y) {
    MoveTo(x, y);
    Screen().ReleaseButton(HeadlessBackend::Button::Left);
    Pump();
}

} // namespace tessel::test
