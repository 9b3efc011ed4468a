// The simulated device's file system: one root "\", names compared without regard to case but
// kept as made, entries listed in the order they were made. Storage cards are root directories
// with the directory and temporary attributes and space figures of their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim_types.h"

namespace sim {

struct FileNode {
    std::u16string name;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    std::vector<uint8_t> bytes;
    std::vector<std::unique_ptr<FileNode>> children;  // in the order they were made
    FileNode* parent = nullptr;
    bool isCard = false;
    uint64_t cardFree = 0;
    uint64_t cardTotal = 0;
    int openHandles = 0;
    DWORD openShare = 0;  // share mode granted by the handles now open
    bool isDirectory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

class FileSystem {
public:
    FileSystem();
    FileNode* root() { return root_.get(); }
    // Resolves a path ("\a\b", or "a\b" from the root); nullptr when it does not exist.
    FileNode* find(const std::u16string& path);
    FileNode* findParent(const std::u16string& path, std::u16string* leaf);
    FileNode* makeDirectories(const std::u16string& path);
    // Creates or replaces a file; nullptr when its folder does not exist.
    FileNode* writeFile(const std::u16string& path, const std::vector<uint8_t>& bytes);
    bool remove(const std::u16string& path);
    FileNode* addRootEntry(const std::u16string& name, DWORD attributes);
    void insertCard(const std::u16string& name, uint64_t freeBytes, uint64_t totalBytes);
    bool ejectCard(const std::u16string& name);
    void reset();

private:
    std::unique_ptr<FileNode> root_;
};

FileSystem& fileSystem();

std::vector<std::u16string> splitPath(const std::u16string& path);

}  // namespace sim
