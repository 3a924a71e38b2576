// The tree the add and update benchmarks read: 100,000 files of 0..5 bytes in
// 5,000 directories, as a data CD of many small files.
#pragma once

#include <string>

namespace orvik::bench {

constexpr int TopDirectories = 50;
constexpr int SubDirectories = 99; // 50 + 50 * 99 = 5,000 directories
constexpr int FilesPerDirectory = 20;
constexpr long TreeFiles = long(TopDirectories) * (SubDirectories + 1) * FilesPerDirectory;

// Writes the tree below `root`; its number of directories, `root` aside.
int buildTree(const std::string& root);

} // namespace orvik::bench
