#include "file_system.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "handles.h"
#include "sim_api.h"
#include "wide_strings.h"
#include "world.h"

namespace sim {

std::vector<std::u16string> splitPath(const std::u16string& path) {
    std::vector<std::u16string> parts;
    std::u16string part;
    for (char16_t c : path) {
        if (c == u'\\' || c == u'/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

FileSystem::FileSystem() { reset(); }

void FileSystem::reset() {
    root_ = std::make_unique<FileNode>();
    root_->attributes = FILE_ATTRIBUTE_DIRECTORY;
}

static FileNode* child(FileNode* dir, const std::u16string& name) {
    if (dir == nullptr || !dir->isDirectory()) return nullptr;
    for (auto& c : dir->children) {
        if (sameName(c->name, name)) return c.get();
    }
    return nullptr;
}

FileNode* FileSystem::find(const std::u16string& path) {
    FileNode* node = root_.get();
    for (auto& part : splitPath(path)) {
        node = child(node, part);
        if (node == nullptr) return nullptr;
    }
    return node;
}

FileNode* FileSystem::findParent(const std::u16string& path, std::u16string* leaf) {
    auto parts = splitPath(path);
    if (parts.empty()) return nullptr;
    *leaf = parts.back();
    FileNode* node = root_.get();
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        node = child(node, parts[i]);
        if (node == nullptr) return nullptr;
    }
    return node->isDirectory() ? node : nullptr;
}

FileNode* FileSystem::makeDirectories(const std::u16string& path) {
    FileNode* node = root_.get();
    for (auto& part : splitPath(path)) {
        FileNode* next = child(node, part);
        if (next == nullptr) {
            auto made = std::make_unique<FileNode>();
            made->name = part;
            made->attributes = FILE_ATTRIBUTE_DIRECTORY;
            made->parent = node;
            next = made.get();
            node->children.push_back(std::move(made));
        }
        node = next;
    }
    return node;
}

FileNode* FileSystem::writeFile(const std::u16string& path, const std::vector<uint8_t>& bytes) {
    std::u16string leaf;
    FileNode* dir = findParent(path, &leaf);
    if (dir == nullptr) return nullptr;
    FileNode* node = child(dir, leaf);
    if (node != nullptr && node->isDirectory()) return nullptr;
    if (node == nullptr) {
        auto made = std::make_unique<FileNode>();
        made->name = leaf;
        made->parent = dir;
        node = made.get();
        dir->children.push_back(std::move(made));
    }
    node->bytes = bytes;
    return node;
}

bool FileSystem::remove(const std::u16string& path) {
    FileNode* node = find(path);
    if (node == nullptr || node->parent == nullptr || node->openHandles > 0) return false;
    if (node->isDirectory() && !node->children.empty()) return false;
    auto& siblings = node->parent->children;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(), [node](auto& c) { return c.get() == node; }),
                   siblings.end());
    return true;
}

FileNode* FileSystem::addRootEntry(const std::u16string& name, DWORD attributes) {
    FileNode* node = child(root_.get(), name);
    if (node == nullptr) {
        auto made = std::make_unique<FileNode>();
        made->name = name;
        made->parent = root_.get();
        node = made.get();
        root_->children.push_back(std::move(made));
    }
    node->attributes = attributes;
    return node;
}

void FileSystem::insertCard(const std::u16string& name, uint64_t freeBytes, uint64_t totalBytes) {
    FileNode* node = addRootEntry(name, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY);
    node->isCard = true;
    node->cardFree = freeBytes;
    node->cardTotal = totalBytes;
}

bool FileSystem::ejectCard(const std::u16string& name) {
    FileNode* node = child(root_.get(), name);
    if (node == nullptr || !node->isCard) return false;
    auto& siblings = root_->children;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(), [node](auto& c) { return c.get() == node; }),
                   siblings.end());
    return true;
}

FileSystem& fileSystem() {
    static FileSystem fs;
    return fs;
}

// ---- Kernel objects for files and searches ----

namespace {

struct OpenFile : KernelObject {
    FileNode* node = nullptr;
    DWORD access = 0;
    DWORD share = 0;
    size_t position = 0;
    ~OpenFile() override {
        if (node) node->openHandles--;
    }
};

struct Search : KernelObject {
    std::vector<FileNode*> entries;
    size_t next = 0;
};

std::u16string text(LPCWSTR s) { return s ? std::u16string(s) : std::u16string(); }

void fillFindData(const FileNode* node, LPWIN32_FIND_DATAW data) {
    std::memset(data, 0, sizeof *data);
    data->dwFileAttributes = node->attributes;
    data->nFileSizeLow = static_cast<DWORD>(node->bytes.size());
    size_t n = std::min<size_t>(node->name.size(), MAX_PATH - 1);
    std::copy(node->name.begin(), node->name.begin() + static_cast<long>(n), data->cFileName);
    data->cFileName[n] = 0;
}

bool matches(const std::u16string& pattern, const std::u16string& name) {
    if (pattern == u"*" || pattern == u"*.*") return true;
    return sameName(pattern, name);
}

}  // namespace

}  // namespace sim

using namespace sim;

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD,
                   HANDLE) {
    if (shouldFail(Op::CreateFileW) || path == nullptr) {
        setError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    FileSystem& fs = fileSystem();
    std::u16string leaf;
    FileNode* dir = fs.findParent(text(path), &leaf);
    if (dir == nullptr) {
        setError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    FileNode* node = fs.find(text(path));
    if (node != nullptr && node->isDirectory()) {
        setError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (node != nullptr && node->openHandles > 0) {
        // Every open handle must allow this access, and this share mode must allow theirs.
        bool allowed = ((access & GENERIC_READ) == 0 || (node->openShare & FILE_SHARE_READ)) &&
                       ((access & GENERIC_WRITE) == 0 || (node->openShare & FILE_SHARE_WRITE)) && share != 0;
        if (!allowed) {
            setError(ERROR_SHARING_VIOLATION);
            return INVALID_HANDLE_VALUE;
        }
    }
    DWORD error = ERROR_SUCCESS;
    switch (disposition) {
        case CREATE_NEW:
            if (node) { setError(ERROR_FILE_EXISTS); return INVALID_HANDLE_VALUE; }
            node = fs.writeFile(text(path), {});
            break;
        case CREATE_ALWAYS:
            if (node) { node->bytes.clear(); error = ERROR_ALREADY_EXISTS; }
            else node = fs.writeFile(text(path), {});
            break;
        case OPEN_EXISTING:
            if (!node) { setError(ERROR_FILE_NOT_FOUND); return INVALID_HANDLE_VALUE; }
            break;
        case OPEN_ALWAYS:
            if (node) error = ERROR_ALREADY_EXISTS;
            else node = fs.writeFile(text(path), {});
            break;
        case TRUNCATE_EXISTING:
            if (!node) { setError(ERROR_FILE_NOT_FOUND); return INVALID_HANDLE_VALUE; }
            node->bytes.clear();
            break;
        default:
            setError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
    }
    if (node == nullptr) {
        setError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto file = std::make_unique<OpenFile>();
    file->node = node;
    file->access = access;
    file->share = share;
    node->openHandles++;
    node->openShare = share;
    setError(error);
    return addKernelObject(std::move(file));
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED) {
    auto* file = kernelObject<OpenFile>(handle);
    if (read) *read = 0;
    if (shouldFail(Op::ReadFile) || file == nullptr || (file->access & GENERIC_READ) == 0) {
        setError(file ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    size_t size = file->node->bytes.size();
    size_t n = file->position >= size ? 0 : std::min<size_t>(toRead, size - file->position);
    if (n) std::memcpy(buffer, file->node->bytes.data() + file->position, n);
    file->position += n;
    if (read) *read = static_cast<DWORD>(n);
    return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED) {
    auto* file = kernelObject<OpenFile>(handle);
    if (written) *written = 0;
    if (shouldFail(Op::WriteFile) || file == nullptr || (file->access & GENERIC_WRITE) == 0) {
        setError(file ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto& bytes = file->node->bytes;
    if (bytes.size() < file->position + toWrite) bytes.resize(file->position + toWrite);
    if (toWrite) std::memcpy(bytes.data() + file->position, buffer, toWrite);
    file->position += toWrite;
    if (written) *written = toWrite;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    if (shouldFail(Op::CloseHandle)) {
        setError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!removeKernelObject(handle)) {
        setError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR path) {
    if (shouldFail(Op::DeleteFileW) || path == nullptr) {
        setError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    FileNode* node = fileSystem().find(text(path));
    if (node == nullptr) {
        setError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (node->isDirectory() || node->openHandles > 0) {
        setError(node->isDirectory() ? ERROR_ACCESS_DENIED : ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    fileSystem().remove(text(path));
    logEvent("file-deleted " + quote(text(path)));
    return TRUE;
}

HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
    if (shouldFail(Op::FindFirstFileW) || pattern == nullptr) {
        setError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string leaf;
    FileNode* dir = fileSystem().findParent(text(pattern), &leaf);
    if (dir == nullptr) {
        setError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_unique<Search>();
    for (auto& c : dir->children) {
        if (matches(leaf, c->name)) search->entries.push_back(c.get());
    }
    if (search->entries.empty()) {
        setError(ERROR_NO_MORE_FILES);
        return INVALID_HANDLE_VALUE;
    }
    fillFindData(search->entries[0], data);
    search->next = 1;
    return addKernelObject(std::move(search));
}

BOOL FindNextFileW(HANDLE handle, LPWIN32_FIND_DATAW data) {
    auto* search = kernelObject<Search>(handle);
    // A search that fails on the way says so; ERROR_NO_MORE_FILES means its end.
    if (shouldFail(Op::FindNextFileW) || search == nullptr) {
        setError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (search->next >= search->entries.size()) {
        setError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    fillFindData(search->entries[search->next++], data);
    return TRUE;
}

BOOL FindClose(HANDLE handle) {
    if (kernelObject<Search>(handle) == nullptr) {
        setError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    removeKernelObject(handle);
    return TRUE;
}

BOOL GetDiskFreeSpaceExW(LPCWSTR directory, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER totalBytes,
                         PULARGE_INTEGER totalFree) {
    if (shouldFail(Op::GetDiskFreeSpaceExW)) {
        setError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    FileNode* node = fileSystem().find(text(directory));
    if (node == nullptr) {
        setError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    // The volume is the card the path lies on, else the main storage.
    FileNode* card = node;
    while (card != nullptr && !card->isCard) card = card->parent;
    uint64_t freeBytes = card ? card->cardFree : world().device.storageFree;
    uint64_t total = card ? card->cardTotal : world().device.storageTotal;
    if (freeToCaller) freeToCaller->QuadPart = freeBytes;
    if (totalBytes) totalBytes->QuadPart = total;
    if (totalFree) totalFree->QuadPart = freeBytes;
    return TRUE;
}
