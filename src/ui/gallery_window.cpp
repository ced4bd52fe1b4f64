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
#include <vector>

#include "operations/extraction.h"
#include "operations/replacement.h"
#include "operations/texture_index.h"
#include "operations/texture_picture.h"
#include "platform/win32/wide_text.h"
#include "report/messages.h"
#include "ui/display_scale.h"
#include "ui/dropped_files.h"
#include "ui/gallery_layout.h"
#include "ui/gallery_texts.h"
#include "ui/gallery_tiles.h"
#include "ui/list_box_report_log.h"
#include "ui/open_dialog.h"
#include "ui/page_save_dialog.h"
#include "ui/picture_clipboard.h"
#include "ui/preview_command.h"
#include "ui/report_font.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/texture_view.h"

namespace sorrelwick::ui {
namespace {

constexpr wchar_t kClassName[] = L"SorrelwickGallery";
// Tiles kept drawn: more than a maximised window shows at once.
constexpr int kTileSlots = 128;
constexpr int kTileSide = 128;  // at 96 DPI
constexpr int kCheckerSquare = 8;

struct Gallery {
    HWND mainWindow = nullptr;
    HWND window = nullptr;
    HWND list = nullptr;
    HWND view = nullptr;
    UINT dpi = kBaseDpi;
    OwnedFont font;
    std::unique_ptr<TileCache> tiles;
    std::string setPath;
    std::vector<operations::IndexedTexture> textures;
    operations::ChannelView channel = operations::ChannelView::Both;
    bool fitted = false;
};

Gallery* theGallery = nullptr;

Gallery* State(HWND window) {
    return reinterpret_cast<Gallery*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

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

std::vector<std::uint8_t> ImageOf(const Gallery& gallery, std::size_t texture) {
    return operations::ReadTextureImage(gallery.setPath, gallery.textures[texture]);
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

OwnedBitmap DrawTile(const Gallery& gallery, std::size_t texture) {
    const int side = gallery.tiles->Side();
    const operations::TexturePicture tile = PictureOr([&] {
        return operations::MakeTileTexturePicture(
            ImageOf(gallery, texture), static_cast<std::uint32_t>(side),
            static_cast<std::uint32_t>(AtDpi(kCheckerSquare, gallery.dpi)));
    });
    if (tile.bgra.empty()) return ReasonBitmap(tile.reason, side, gallery.font.get());
    return PictureBitmap(tile);
}

// The selected texture in the view, as the switches say.
void ShowSelected(Gallery& gallery) {
    const std::optional<std::size_t> selected = Selected(gallery);
    operations::TexturePicture picture;
    if (selected) {
        const std::vector<std::uint8_t> image = ImageOf(gallery, *selected);
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

// Shows the loaded set as it now is, the selection kept where it can be.
void Reload(Gallery& gallery) {
    const std::optional<std::size_t> selected = Selected(gallery);
    const ToolState& state = TheToolState();
    gallery.setPath = state.setPath;
    gallery.textures = state.setPath.empty()
                           ? std::vector<operations::IndexedTexture>{}
                           : operations::IndexTextures(state.setPath)
                                 .value_or(std::vector<operations::IndexedTexture>{});
    gallery.tiles->Forget();
    SetWindowTextW(gallery.window, platform::WideForDisplay(Caption(state)).c_str());
    SendMessageW(gallery.list, LVM_SETITEMCOUNT, gallery.textures.size(), 0);
    InvalidateRect(gallery.list, nullptr, TRUE);
    if (!gallery.textures.empty()) {
        Select(gallery, std::min(selected.value_or(0), gallery.textures.size() - 1));
    }
    ShowSelected(gallery);
}

// Tiles and font at the gallery's scale.
void TakeScale(Gallery& gallery) {
    gallery.font = MakeGalleryFont(gallery.dpi);
    for (HWND child = GetWindow(gallery.window, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(gallery.font.get()), TRUE);
    }
    const int side = AtDpi(kTileSide, gallery.dpi);
    gallery.tiles = std::make_unique<TileCache>(side, kTileSlots);
    SendMessageW(gallery.list, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(gallery.tiles->Images()));
    const TileSpacing spacing = SpacingFor(side, gallery.dpi);
    SendMessageW(gallery.list, LVM_SETICONSPACING, 0, MAKELPARAM(spacing.across, spacing.down));
}

// Replacing and extracting one texture ------------------------------------

void ReplaceTexture(Gallery& gallery, std::size_t texture, const std::string& path) {
    {
        ListBoxReportLog log(ReportListOf(gallery));
        const bool convert =
            IsDlgButtonChecked(gallery.mainWindow, SORRELWICK_CONVERT_CHECK) == BST_CHECKED;
        operations::ReplaceTextureAt(TheToolState(), texture, path, &log, {convert});
    }
    Reload(gallery);
}

std::string SetFolder(const std::string& setPath) {
    const std::size_t separator = setPath.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : setPath.substr(0, separator);
}

void ReplaceFromFile(Gallery& gallery, std::size_t texture) {
    const std::optional<std::string> path =
        AskForTextureFile(gallery.window, SetFolder(gallery.setPath));
    if (path) ReplaceTexture(gallery, texture, *path);
}

void ExtractToFile(Gallery& gallery, std::size_t texture) {
    const std::string folder = SetFolder(gallery.setPath);
    const std::string& name = gallery.textures[texture].name;
    const std::optional<std::string> path =
        AskWhereToExtractTexture(gallery.window, folder.empty() ? name : folder + "\\" + name);
    if (!path) return;
    ListBoxReportLog log(ReportListOf(gallery));
    operations::ExtractTextureAs(TheToolState(), texture, *path, &log);
}

void CopySelected(const Gallery& gallery) {
    const std::optional<std::size_t> selected = Selected(gallery);
    if (!selected) return;
    const operations::TexturePicture picture =
        PictureOr([&] { return operations::MakeUnblendedPicture(ImageOf(gallery, *selected)); });
    CopyTexture(gallery.window, picture, gallery.textures[*selected].name);
}

// The tile under `at` (the list's client coordinates), if any.
std::optional<std::size_t> TileAt(const Gallery& gallery, POINT at) {
    LVHITTESTINFO hit = {};
    hit.pt = at;
    const LRESULT item = SendMessageW(gallery.list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (item < 0 || !(hit.flags & LVHT_ONITEM)) return std::nullopt;
    return static_cast<std::size_t>(item);
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
    if (item.mask & LVIF_IMAGE) {
        item.iImage = gallery.tiles->SlotFor(texture, [&] { return DrawTile(gallery, texture); });
    }
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
        case LVN_ITEMACTIVATE:  // Enter, or a double click: the texture fitted
            gallery.fitted = true;
            CheckDlgButton(gallery.window, SORRELWICK_VIEW_FITTED, BST_CHECKED);
            ShowSelected(gallery);
            return 0;
        case LVN_KEYDOWN: {
            const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(notice);
            if (key.wVKey == 'C' && GetKeyState(VK_CONTROL) < 0) CopySelected(gallery);
            return 0;
        }
        default:
            return 0;
    }
}

void OnCommand(Gallery& gallery, int id) {
    const auto channel = [&](operations::ChannelView view) {
        gallery.channel = view;
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
        case SORRELWICK_WEB_PAGE_BUTTON:
            return WritePreviewAndShow(gallery.window, ReportListOf(gallery));
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
    AppendMenuW(menu, MF_STRING, SORRELWICK_EXTRACT_TEXTURE, L"&Extract...");
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x,
                                      point.y, 0, gallery.window, nullptr);
    DestroyMenu(menu);
    if (chosen == SORRELWICK_REPLACE_TEXTURE) ReplaceFromFile(gallery, *texture);
    if (chosen == SORRELWICK_EXTRACT_TEXTURE) ExtractToFile(gallery, *texture);
}

// One file dropped on a tile replaces that texture; anything else changes
// nothing, and the report says why.
void OnDropFiles(Gallery& gallery, HDROP drop) {
    POINT at = {};
    DragQueryPoint(drop, &at);
    const std::vector<DroppedItem> items = DroppedItems(drop);
    DragFinish(drop);
    MapWindowPoints(gallery.window, gallery.list, &at, 1);
    const std::optional<std::size_t> texture = TileAt(gallery, at);
    std::vector<std::string> names;
    for (const DroppedItem& item : items) names.push_back(item.name);
    if (items.size() == 1 && texture && !items.front().path.empty()) {
        return ReplaceTexture(gallery, *texture, items.front().path);
    }
    ListBoxReportLog(ReportListOf(gallery))
        .AppendLine(items.size() == 1 ? DroppedBesideTilesLine(names.front())
                                      : DroppedSeveralLine(names));
}

void OnDpiChanged(Gallery& gallery, UINT dpi, const RECT& suggested) {
    gallery.dpi = dpi;
    TakeScale(gallery);
    SetWindowPos(gallery.window, nullptr, suggested.left, suggested.top,
                 suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutGallery(gallery.window, dpi);
    InvalidateRect(gallery.list, nullptr, TRUE);
}

void OnCreate(HWND window, Gallery& gallery) {
    gallery.window = window;
    gallery.dpi = WindowDpi(window);
    gallery.list =
        CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_ICON | LVS_OWNERDATA |
                            LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE,
                        0, 0, 0, 0, window, reinterpret_cast<HMENU>(SORRELWICK_GALLERY_LIST),
                        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(gallery.list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER,
                 LVS_EX_DOUBLEBUFFER);
    gallery.view = CreateTextureView(window, SORRELWICK_GALLERY_VIEW);
    CreateGallerySwitches(window);
    CheckRadioButton(window, SORRELWICK_VIEW_COLOUR, SORRELWICK_VIEW_BOTH, SORRELWICK_VIEW_BOTH);
    TakeScale(gallery);
    AcceptDroppedFiles(window);
    LayOutGallery(window, gallery.dpi);
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
            if (gallery) LimitGallerySize(*reinterpret_cast<MINMAXINFO*>(lParam), gallery->dpi);
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
        case WM_DROPFILES:
            if (gallery) OnDropFiles(*gallery, reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_DPICHANGED:
            if (gallery) {
                OnDpiChanged(*gallery, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            }
            return 0;
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

}  // namespace

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
    const UINT dpi = WindowDpi(mainWindow);
    const SIZE size = GalleryOpeningSize(dpi);
    // The window owns the state from its creation on, and frees it when it goes.
    Gallery* state = gallery.release();
    theGallery = state;
    const HWND window = CreateWindowExW(0, kClassName, L"Textures", WS_OVERLAPPEDWINDOW,
                                        CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy, mainWindow,
                                        nullptr, GetModuleHandleW(nullptr), state);
    if (!window) {
        // Freed already when the window got as far as its creation.
        if (theGallery == state) delete state;
        theGallery = nullptr;
        return;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
}

void RefreshGallery() {
    if (theGallery) Reload(*theGallery);
}

HWND GalleryWindow() {
    return theGallery ? theGallery->window : nullptr;
}

}  // namespace sorrelwick::ui
