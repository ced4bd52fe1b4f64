#include "operations/import_inventory.h"

#include <new>

#include "operations/texture_file_name.h"
#include "platform/file_system.h"
#include "platform/memory.h"
#include "report/lines.h"
#include "report/messages.h"

namespace sorrelwick::operations {
namespace {

// Only ASCII letters fold: the names are single-byte text in whatever code
// page the folder uses, and other bytes must match exactly.
char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

bool PutAtHead(ImportInventory& inventory, const std::string& name) {
    if (!platform::MayAllocate()) return false;
    try {
        inventory.listing.push_back(name);
        inventory.names.push_front(name);
    } catch (const std::bad_alloc&) {
        // The copy never starts after this, so the listing is not used.
        return false;
    }
    return true;
}

}  // namespace

bool ScanImportFolder(ImportInventory& inventory, std::string_view folder, bool withPictures) {
    std::vector<std::string_view> extensions = {".tga"};
    if (withPictures) extensions.insert(extensions.end(), kPictureExtensions.begin(), kPictureExtensions.end());
    for (const std::string_view extension : extensions) {
        platform::ExtensionSearch search{std::string(folder), std::string(extension)};
        std::string name;
        while (search.Next(name)) {
            if (!PutAtHead(inventory, name)) return false;
        }
    }
    return true;
}

void RemoveInventoryName(ImportInventory& inventory, std::string_view name) {
    auto before = inventory.names.before_begin();
    for (auto entry = inventory.names.begin(); entry != inventory.names.end(); before = entry++) {
        if (EqualsIgnoringAsciiCase(*entry, name)) {
            inventory.names.erase_after(before);
            return;
        }
    }
}

std::optional<std::string> ListedNameFor(const ImportInventory& inventory, std::string_view name) {
    // From the newest, as the inventory is searched.
    for (auto listed = inventory.listing.rbegin(); listed != inventory.listing.rend(); ++listed) {
        if (EqualsIgnoringAsciiCase(*listed, name)) return *listed;
    }
    return std::nullopt;
}

void ReportLeftovers(const ImportInventory& inventory, std::string_view setName,
                     report::ReportLog& log) {
    const std::string message = report::msg::ImportNotPartOf(setName);
    for (const std::string& name : inventory.names) {
        log.AppendLine(report::NameMessageLine(name, message));
    }
}

void ClearInventory(ImportInventory& inventory) {
    inventory.names.clear();
    inventory.listing.clear();
}

}  // namespace sorrelwick::operations
