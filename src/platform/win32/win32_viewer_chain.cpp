#include "platform/win32/win32_viewer_chain.h"

namespace zub {
namespace {

HWND windowFromHandle(ViewerHandle handle) {
    // Window handles keep their meaning in 32 bits, also in 64-bit programs.
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
}

ViewerHandle handleFromWindow(HWND window) {
    return static_cast<ViewerHandle>(reinterpret_cast<std::uintptr_t>(window));
}

} // namespace

Win32ViewerChain::Win32ViewerChain() = default;

Win32ViewerChain::~Win32ViewerChain() {
    // A viewer window that goes without leaving would cut the chain behind it.
    for (auto& [viewer, member] : m_members)
        if (member->inChain) ChangeClipboardChain(member->window->handle(), member->next);
}

Win32ViewerChain::Member& Win32ViewerChain::memberFor(ClipboardViewer& viewer) {
    std::unique_ptr<Member>& slot = m_members[&viewer];
    if (!slot) {
        slot = std::make_unique<Member>();
        slot->viewer = &viewer;
        Member* member = slot.get();
        slot->window = std::make_unique<win32::MessageWindow>(
            [this, member](UINT message, WPARAM wParam, LPARAM lParam) {
                return this->message(*member, message, wParam, lParam);
            });
    }
    return *slot;
}

HWND Win32ViewerChain::windowOf(const ClipboardViewer& viewer) const {
    const auto found = m_members.find(&viewer);
    return found == m_members.end() ? nullptr : found->second->window->handle();
}

ViewerHandle Win32ViewerChain::join(ClipboardViewer& viewer) {
    Member& member = memberFor(viewer);
    // The system sends the first WM_DRAWCLIPBOARD before this returns; the viewer passes it on
    // to the next it knew before.
    member.inChain = true;
    const HWND next = SetClipboardViewer(member.window->handle());
    member.given = next;
    member.next = next;
    return handleFromWindow(next);
}

void Win32ViewerChain::leave(ClipboardViewer& viewer, ViewerHandle next) {
    Member& member = memberFor(viewer);
    ChangeClipboardChain(member.window->handle(), mended(&member, next));
    member.inChain = false;
}

void Win32ViewerChain::sendChainChanged(ViewerHandle to, ClipboardViewer& removed,
                                        ViewerHandle next) {
    const Member& member = memberFor(removed);
    const HWND target = mended(&member, to);
    if (!target) return;
    SendMessageW(target, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(member.window->handle()),
                 reinterpret_cast<LPARAM>(mended(&member, next)));
}

void Win32ViewerChain::forwardChange(ViewerHandle to) {
    const Member* member = handlingMember();
    const HWND target = mended(member, to);
    if (!target) return;
    SendMessageW(target, WM_DRAWCLIPBOARD, member ? member->wParam : 0,
                 member ? member->lParam : 0);
}

HWND Win32ViewerChain::mended(const Member* member, ViewerHandle to) const {
    const HWND window = windowFromHandle(to);
    return member && window && window == member->given ? member->next : window;
}

const Win32ViewerChain::Member* Win32ViewerChain::handlingMember() const {
    for (const auto& [viewer, member] : m_members)
        if (member->handling > 0) return member.get();
    return nullptr;
}

bool Win32ViewerChain::message(Member& member, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWCLIPBOARD: {
        if (!member.inChain) return true;
        // Notices nest when the viewer's own work changes the clipboard.
        struct Handling {
            Member& member;
            WPARAM outerWParam;
            LPARAM outerLParam;
            Handling(Member& m, WPARAM w, LPARAM l)
                : member(m), outerWParam(m.wParam), outerLParam(m.lParam) {
                member.wParam = w;
                member.lParam = l;
                ++member.handling;
            }
            ~Handling() {
                --member.handling;
                member.wParam = outerWParam;
                member.lParam = outerLParam;
            }
        } handling(member, wParam, lParam);
        member.viewer->clipboardChanged();
        return true;
    }
    case WM_CHANGECBCHAIN: {
        const HWND removed = reinterpret_cast<HWND>(wParam);
        const HWND after = reinterpret_cast<HWND>(lParam);
        if (removed == member.next) {
            member.next = after;
        } else if (member.next && member.inChain) {
            SendMessageW(member.next, WM_CHANGECBCHAIN, wParam, lParam);
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace zub
