#include "ui/gallery_window.h"

// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "format/byte_fields.h"
#include "format/digest.h"
#include "operations/texture_index.h"
#include "operations/texture_picture.h"
#include "platform/win32/wide_text.h"
#include "report/messages.h"
#include "ui/display_scale.h"
#include "ui/dropped_files.h"
#include "ui/gallery_actions.h"
#include "ui/gallery_layout.h"
#include "ui/gallery_state.h"
#include "ui/gallery_texts.h"
#include "ui/gallery_tile_work.h"
#include "ui/list_box_report_log.h"
#include "ui/preview_command.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/texture_editing.h"
#include "ui/texture_view.h"

namespace sorrelwick::ui {

HWND ReportListOf(const Gallery& gallery) {
    return GetDlgItem(gallery.mainWindow, SORRELWICK_REPORT_LIST);
}

std::optional<std::size_t> Selected(const Gallery& gallery) {
    const LRESULT item =
        SendMessageW(gallery.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (item < 0 || static_cast<std::size_t>(item) >= gallery.textures.size()) return std::nullopt;
    return static_cast<std::size_t>(item);
}

void Select(const Gallery& gallery, std::size_t item) {
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(gallery.list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
    SendMessageW(gallery.list, LVM_ENSUREVISIBLE, item, FALSE);
}

std::vector<std::uint8_t> ShownImage(Gallery& gallery, std::size_t texture) {
    std::vector<std::uint8_t> image =
        operations::ReadTextureImage(gallery.setPath, gallery.textures[texture]);
    // The first image drawn stays the one shown: one read later that
    // differs means the set changed, which an action on the tile checks.
    if (!gallery.shown[texture]) {
        gallery.shown[texture] = format::DigestOf(format::Bytes(image.data(), image.size()));
    }
    return image;
}

void ShowStatus(const Gallery& gallery, const std::string& line) {
    SetDlgItemTextW(gallery.window, SORRELWICK_GALLERY_STATUS,
                    platform::WideForDisplay(StatusText(line)).c_str());
}

void Tell(const Gallery& gallery, const std::string& line) {
    ListBoxReportLog(ReportListOf(gallery)).AppendLine(line);
    ShowStatus(gallery, line);
}

namespace {

constexpr wchar_t kClassName[] = L"SorrelwickGallery";
constexpr int kTileSide = 128;  // at 96 DPI

Gallery* theGallery = nullptr;

Gallery* State(HWND window) {
    return reinterpret_cast<Gallery*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A picture, or the reason there is none; memory running out is a reason.
template <typename Make>
operations::TexturePicture PictureOr(Make&& make) {
    try {
        return make();
    } catch (const std::bad_alloc&) {
        operations::TexturePicture none;
        none.reason = report::msg::kNotEnoughMemory;
        return none;
    }
}

// The selected texture in the view, as the switches say.
void ShowSelected(Gallery& gallery) {
    const std::optional<std::size_t> selected = Selected(gallery);
    operations::TexturePicture picture;
    if (selected) {
        const std::vector<std::uint8_t> image = ShownImage(gallery, *selected);
        picture = PictureOr([&] { return operations::MakeTexturePicture(image, gallery.channel); });
        // Without an alpha channel there is only the colour to show.
        if (!picture.alpha && gallery.channel != operations::ChannelView::Both) {
            picture = PictureOr([&] { return operations::MakeTexturePicture(image); });
        }
    }
    for (const int id : {SORRELWICK_VIEW_COLOUR, SORRELWICK_VIEW_ALPHA, SORRELWICK_VIEW_BOTH}) {
        EnableWindow(GetDlgItem(gallery.window, id), picture.alpha ? TRUE : FALSE);
    }
    ShowInTextureView(gallery.view, std::move(picture), gallery.fitted);
}

std::string Caption(const ToolState& state) {
    return state.setPath.empty() ? "Textures" : "Textures - " + state.setName;
}

// A list of tiles made anew, so that nothing of the one before (its count,
// positions, scroll range, selection) can outlive the set it showed.
void MakeList(Gallery& gallery) {
    const bool hadFocus = gallery.list && GetFocus() == gallery.list;
    // Forgotten first: what the old list tells while it goes is not heard.
    if (const HWND old = std::exchange(gallery.list, nullptr)) DestroyWindow(old);
    gallery.list = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_ICON | LVS_OWNERDATA | LVS_SINGLESEL |
            LVS_SHOWSELALWAYS | LVS_AUTOARRANGE | LVS_SHAREIMAGELISTS,
        0, 0, 0, 0, gallery.window, reinterpret_cast<HMENU>(SORRELWICK_GALLERY_LIST),
        GetModuleHandleW(nullptr), nullptr);
    if (!gallery.list) return;
    // First in the order Tab visits.
    SetWindowPos(gallery.list, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(gallery.list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER,
                 LVS_EX_DOUBLEBUFFER);
    SendMessageW(gallery.list, WM_SETFONT, reinterpret_cast<WPARAM>(gallery.font.get()), FALSE);
    SendMessageW(gallery.list, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(gallery.tiles->Images()));
    const TileSpacing spacing = SpacingFor(gallery.tiles->Side(), gallery.dpi);
    SendMessageW(gallery.list, LVM_SETICONSPACING, 0, MAKELPARAM(spacing.across, spacing.down));
    LayOutGallery(gallery.window, gallery.dpi);
    if (hadFocus) SetFocus(gallery.list);
}

// Tiles and font at the gallery's scale.
void TakeScale(Gallery& gallery) {
    gallery.font = MakeGalleryFont(gallery.dpi);
    for (HWND child = GetWindow(gallery.window, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(gallery.font.get()), TRUE);
    }
    gallery.tiles = std::make_unique<TileCache>(AtDpi(kTileSide, gallery.dpi), kTileSlots);
}

void ToggleFit(Gallery& gallery) {
    gallery.fitted = !gallery.fitted;
    CheckDlgButton(gallery.window, SORRELWICK_VIEW_FITTED,
                   gallery.fitted ? BST_CHECKED : BST_UNCHECKED);
    ShowSelected(gallery);
}

// Messages ----------------------------------------------------------------

void OnGetDisplayInfo(Gallery& gallery, NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= gallery.textures.size()) return;
    const auto texture = static_cast<std::size_t>(item.iItem);
    if (item.mask & LVIF_TEXT && item.pszText && item.cchTextMax > 0) {
        const std::wstring label = platform::WideForDisplay(TileLabel(gallery.textures[texture]));
        lstrcpynW(item.pszText, label.c_str(), item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE) item.iImage = TileSlotFor(gallery, texture);
}

LRESULT OnNotify(Gallery& gallery, const NMHDR& notice) {
    if (notice.hwndFrom != gallery.list) return 0;
    switch (notice.code) {
        case LVN_GETDISPINFOW:
            OnGetDisplayInfo(gallery,
                             *reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&notice)));
            return 0;
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(notice);
            if ((change.uChanged & LVIF_STATE) &&
                ((change.uNewState ^ change.uOldState) & LVIS_SELECTED)) {
                ShowSelected(gallery);
            }
            return 0;
        }
        case LVN_ITEMACTIVATE: {
            // A double click opens the tile in the user's editor; Enter
            // comes as the gallery's own command.
            const auto& activated = reinterpret_cast<const NMITEMACTIVATE&>(notice);
            if (GetKeyState(VK_RETURN) < 0 || activated.iItem < 0) return 0;
            if (static_cast<std::size_t>(activated.iItem) < gallery.textures.size()) {
                EditInImageEditor(gallery, static_cast<std::size_t>(activated.iItem));
            }
            return 0;
        }
        case LVN_KEYDOWN: {
            const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(notice);
            if (key.wVKey == 'C' && GetKeyState(VK_CONTROL) < 0) CopySelected(gallery);
            return 0;
        }
        default:
            return 0;
    }
}

// Tab enters the channel switches at the one chosen.
void TabToCheckedSwitch(HWND window) {
    for (const int id : {SORRELWICK_VIEW_COLOUR, SORRELWICK_VIEW_ALPHA, SORRELWICK_VIEW_BOTH}) {
        const HWND button = GetDlgItem(window, id);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(button, GWL_STYLE));
        const bool checked = IsDlgButtonChecked(window, id) == BST_CHECKED;
        const DWORD wanted = checked ? style | WS_TABSTOP : style & ~DWORD{WS_TABSTOP};
        SetWindowLongPtrW(button, GWL_STYLE, static_cast<LONG_PTR>(wanted));
    }
}

void OnCommand(Gallery& gallery, int id) {
    const auto channel = [&](operations::ChannelView view) {
        gallery.channel = view;
        TabToCheckedSwitch(gallery.window);
        ShowSelected(gallery);
    };
    switch (id) {
        case SORRELWICK_VIEW_COLOUR:
            return channel(operations::ChannelView::Colour);
        case SORRELWICK_VIEW_ALPHA:
            return channel(operations::ChannelView::Alpha);
        case SORRELWICK_VIEW_BOTH:
            return channel(operations::ChannelView::Both);
        case SORRELWICK_VIEW_FITTED:
            gallery.fitted =
                IsDlgButtonChecked(gallery.window, SORRELWICK_VIEW_FITTED) == BST_CHECKED;
            return ShowSelected(gallery);
        case SORRELWICK_GALLERY_CONVERT:
            CheckDlgButton(gallery.mainWindow, SORRELWICK_CONVERT_CHECK,
                           IsDlgButtonChecked(gallery.window, SORRELWICK_GALLERY_CONVERT));
            return;
        case SORRELWICK_EDIT_TEXTURE:
            if (const std::optional<std::size_t> selected = Selected(gallery)) {
                EditInImageEditor(gallery, *selected);
            }
            return;
        case SORRELWICK_WEB_PAGE_BUTTON: {  // the status line: the page's last word
            const HWND report = ReportListOf(gallery);
            const LRESULT before = SendMessageW(report, LB_GETCOUNT, 0, 0);
            WritePreviewAndShow(gallery.window, report);
            return ShowStatus(gallery, LastReportLineSince(report, before));
        }
        case IDOK: {  // Enter: presses a focused button, else fits the view or not
            const HWND focus = GetFocus();
            if (focus == GetDlgItem(gallery.window, SORRELWICK_WEB_PAGE_BUTTON) ||
                focus == GetDlgItem(gallery.window, SORRELWICK_EDIT_TEXTURE)) {
                SendMessageW(focus, BM_CLICK, 0, 0);
                return;
            }
            return ToggleFit(gallery);
        }
        case IDCANCEL:  // Escape
            DestroyWindow(gallery.window);
            return;
        default:
            return;
    }
}

// A tile's menu: at the tile under the pointer, or from the keyboard
// (-1, -1) at the selected one.
void OnContextMenu(Gallery& gallery, LPARAM at) {
    POINT point = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    std::optional<std::size_t> texture;
    if (at == -1) {
        texture = Selected(gallery);
        RECT place = {};
        place.left = LVIR_ICON;
        if (texture) {
            SendMessageW(gallery.list, LVM_GETITEMRECT, *texture, reinterpret_cast<LPARAM>(&place));
        }
        point = {place.left, place.bottom};
        ClientToScreen(gallery.list, &point);
    } else {
        POINT inList = point;
        ScreenToClient(gallery.list, &inList);
        texture = TileAt(gallery, inList);
    }
    if (!texture) return;
    Select(gallery, *texture);
    const HMENU menu = CreatePopupMenu();
    if (!menu) return;
    AppendMenuW(menu, MF_STRING, SORRELWICK_REPLACE_TEXTURE, L"&Replace from file...");
    AppendMenuW(menu, MF_STRING, SORRELWICK_EXTRACT_TEXTURE, L"E&xtract...");
    AppendMenuW(menu, MF_STRING, SORRELWICK_EDIT_TEXTURE, L"&Edit in your image editor");
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x,
                                      point.y, 0, gallery.window, nullptr);
    DestroyMenu(menu);
    if (chosen == SORRELWICK_REPLACE_TEXTURE) ReplaceFromFile(gallery, *texture);
    if (chosen == SORRELWICK_EXTRACT_TEXTURE) ExtractToFile(gallery, *texture);
    if (chosen == SORRELWICK_EDIT_TEXTURE) EditInImageEditor(gallery, *texture);
}

void OnDpiChanged(Gallery& gallery, UINT dpi, const RECT& suggested) {
    gallery.dpi = dpi;
    TakeScale(gallery);
    Reload(gallery);  // a list of tiles of the new size, before anything is drawn
    SetWindowPos(gallery.window, nullptr, suggested.left, suggested.top,
                 suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutGallery(gallery.window, dpi);  // also when the size stayed
}

void OnCreate(HWND window, Gallery& gallery) {
    gallery.window = window;
    gallery.dpi = WindowDpi(window);
    gallery.view = CreateTextureView(window, SORRELWICK_GALLERY_VIEW);
    CreateGallerySwitches(window);
    CheckRadioButton(window, SORRELWICK_VIEW_COLOUR, SORRELWICK_VIEW_BOTH, SORRELWICK_VIEW_BOTH);
    TabToCheckedSwitch(window);
    FollowConvertChoice();
    TakeScale(gallery);
    StartTileWork(gallery);
    AcceptDroppedFiles(window);
    Reload(gallery);
}

LRESULT CALLBACK GalleryProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Gallery* gallery = State(window);
    switch (message) {
        case WM_CREATE: {
            auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
            gallery = static_cast<Gallery*>(created->lpCreateParams);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(gallery));
            OnCreate(window, *gallery);
            return 0;
        }
        case WM_SIZE:
            if (gallery && wParam != SIZE_MINIMIZED) LayOutGallery(window, gallery->dpi);
            return 0;
        case WM_GETMINMAXINFO:
            if (gallery) {
                LimitGallerySize(window, *reinterpret_cast<MINMAXINFO*>(lParam), gallery->dpi);
            }
            return 0;
        case WM_SETFOCUS:  // the gallery activated: the tiles take the keys
            if (gallery && gallery->list) SetFocus(gallery->list);
            return 0;
        case WM_NOTIFY:
            return gallery ? OnNotify(*gallery, *reinterpret_cast<const NMHDR*>(lParam)) : 0;
        case WM_COMMAND:
            if (gallery) OnCommand(*gallery, LOWORD(wParam));
            return 0;
        case WM_CONTEXTMENU:
            if (gallery && reinterpret_cast<HWND>(wParam) == gallery->list) {
                OnContextMenu(*gallery, lParam);
                return 0;
            }
            break;
        case WM_TIMER:
            if (gallery && wParam == kEditingTimer) TakeEditorSaves(*gallery);
            return 0;
        case WM_DROPFILES:
            if (gallery) DropOnGallery(*gallery, reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_SYSCOMMAND:
            // Alt alone, or let go after an underlined letter: the gallery
            // has no menu bar to go to, and Escape must close it at once.
            if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) return 0;
            break;
        case WM_DPICHANGED:
            if (gallery) {
                OnDpiChanged(*gallery, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            }
            return 0;
        case kTileMade:
            if (gallery) TakeMadeTile(*gallery, lParam);
            return 0;
        case WM_DESTROY:
            // Its thread ends while the window can still take what it posts.
            if (gallery) gallery->tileWork.reset();
            break;
        case WM_NCDESTROY: {
            const std::unique_ptr<Gallery> owned(gallery);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            if (theGallery == gallery) theGallery = nullptr;
            break;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterOnce() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        // Drawn again whole at every size: controls that moved leave no trace.
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = GalleryProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
        windowClass.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
        windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(SORRELWICK_ICON));
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    return registered;
}

// Where the gallery opens: beside the main window, or over its report's
// right part; on the main window's monitor.
RECT OpeningPlace(HWND mainWindow, UINT dpi) {
    GalleryPlaceRequest request = {};
    GetWindowRect(mainWindow, &request.mainWindow);
    GetWindowRect(GetDlgItem(mainWindow, SORRELWICK_REPORT_LIST), &request.report);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(mainWindow, MONITOR_DEFAULTTONEAREST), &monitor);
    request.workArea = monitor.rcWork;
    request.opening = GalleryOpeningSize(dpi);
    const SIZE least = GalleryMinimumClient(dpi);
    RECT frame = {0, 0, least.cx, least.cy};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, FALSE, 0);
    request.minimum = {frame.right - frame.left, frame.bottom - frame.top};
    request.keepVisible = AtDpi(120, dpi);
    return GalleryPlace(request);
}

}  // namespace

void Reload(Gallery& gallery) {
    const ToolState& state = TheToolState();
    const bool sameSet = !state.setPath.empty() && state.setPath == gallery.setPath;
    const std::optional<std::size_t> selected = sameSet ? Selected(gallery) : std::nullopt;
    // How far the tiles were scrolled, in pixels, as the scroll bars say.
    const POINT scrolled = sameSet && gallery.list ? POINT{GetScrollPos(gallery.list, SB_HORZ),
                                                           GetScrollPos(gallery.list, SB_VERT)}
                                                   : POINT{};
    // The files in the editor belong to the set shown until now.
    if (!sameSet) StopEditing(gallery);
    gallery.setPath = state.setPath;
    gallery.setName = state.setName;
    gallery.textures = state.setPath.empty()
                           ? std::vector<operations::IndexedTexture>{}
                           : operations::IndexTextures(state.setPath)
                                 .value_or(std::vector<operations::IndexedTexture>{});
    gallery.shown.assign(gallery.textures.size(), std::nullopt);
    gallery.tiles->Forget();
    ForgetTileWork(gallery);
    SetWindowTextW(gallery.window, platform::WideForDisplay(Caption(state)).c_str());
    MakeList(gallery);
    SendMessageW(gallery.list, LVM_SETITEMCOUNT, gallery.textures.size(), 0);
    // Every tile placed now: a list of owner-drawn icons may otherwise keep
    // them where it put them before it knew their number, until a resize.
    SendMessageW(gallery.list, LVM_ARRANGE, LVA_DEFAULT, 0);
    // Again once the scroll bar the first arrangement brought takes its room,
    // so that no column is left half out of sight.
    SendMessageW(gallery.list, LVM_ARRANGE, LVA_DEFAULT, 0);
    // Drawn once before it scrolls: the list knows how far it can scroll
    // only from then on.
    UpdateWindow(gallery.list);
    if (!gallery.textures.empty()) {
        SendMessageW(gallery.list, LVM_SCROLL, static_cast<WPARAM>(scrolled.x), scrolled.y);
        const std::size_t keep = std::min(selected.value_or(0), gallery.textures.size() - 1);
        if (selected || !sameSet) Select(gallery, keep);
    }
    ShowSelected(gallery);
    if (!sameSet) ShowStatus(gallery, "");
}

void OpenGallery(HWND mainWindow, int) {
    if (theGallery) {
        Reload(*theGallery);
        ShowWindow(theGallery->window, SW_RESTORE);
        SetForegroundWindow(theGallery->window);
        return;
    }
    if (!RegisterOnce()) return;
    auto gallery = std::make_unique<Gallery>();
    gallery->mainWindow = mainWindow;
    const RECT place = OpeningPlace(mainWindow, WindowDpi(mainWindow));
    // The window owns the state from its creation on, and frees it when it
    // goes. No owner: the main window can come in front of it; the main
    // window closes it when it goes.
    Gallery* state = gallery.release();
    theGallery = state;
    const HWND window =
        CreateWindowExW(0, kClassName, L"Textures", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        place.left, place.top, place.right - place.left, place.bottom - place.top,
                        nullptr, nullptr, GetModuleHandleW(nullptr), state);
    if (!window) {
        // Freed already when the window got as far as its creation.
        if (theGallery == state) delete state;
        theGallery = nullptr;
        return;
    }
    ShowWindow(window, SW_SHOW);
    LayOutGallery(window, state->dpi);  // shown: the tiles know their room
    UpdateWindow(window);
}

void RefreshGallery() {
    if (theGallery) Reload(*theGallery);
}

HWND GalleryWindow() {
    return theGallery ? theGallery->window : nullptr;
}

void FollowConvertChoice() {
    if (!theGallery) return;
    const UINT checked = IsDlgButtonChecked(theGallery->mainWindow, SORRELWICK_CONVERT_CHECK);
    CheckDlgButton(theGallery->window, SORRELWICK_GALLERY_CONVERT, checked);
}

bool TakeGalleryKey(MSG& message) {
    return theGallery && IsDialogMessageW(theGallery->window, &message);
}

void CloseGallery() {
    if (theGallery) DestroyWindow(theGallery->window);
}

}  // namespace sorrelwick::ui
