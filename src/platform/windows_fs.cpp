// TEMPORARY STUB: replaced by the real implementation.
#include "platform/windows_fs.h"
namespace vortena {
std::string errorDescription(int) { return {}; }
DriveTable DriveTable::defaults() { return {}; }
void DriveTable::set(char, std::string) {}
bool DriveTable::parseAssignment(std::string_view) { return false; }
bool DriveTable::parseList(std::string_view) { return false; }
std::optional<std::string> DriveTable::hostFolder(char) const { return {}; }
std::optional<std::string> DriveTable::toDriveForm(std::string_view) const { return {}; }
WindowsFileSystem::WindowsFileSystem(DriveTable d) : drives_(std::move(d)) {}
FsStatus WindowsFileSystem::openRead(const std::string&, std::unique_ptr<TextReader>&) { return {76}; }
FsStatus WindowsFileSystem::openWrite(const std::string&, std::unique_ptr<TextWriter>&) { return {76}; }
FsStatus WindowsFileSystem::copyFile(const std::string&, const std::string&) { return {76}; }
FsStatus WindowsFileSystem::rename(const std::string&, const std::string&) { return {76}; }
FsStatus WindowsFileSystem::makeFolder(const std::string&) { return {76}; }
FsStatus WindowsFileSystem::listFolder(const std::string&, std::vector<DirEntry>&) { return {76}; }
FsStatus WindowsFileSystem::folderIdentity(const std::string&, DirEntry&) { return {76}; }
FsStatus WindowsFileSystem::changeFolder(const std::string&) { return {76}; }
FsStatus WindowsFileSystem::changeDrive(char) { return {76}; }
std::string WindowsFileSystem::currentFolder() const { return "C:\\"; }
std::optional<std::string> WindowsFileSystem::toHostPath(const std::string&) const { return {}; }
std::string WindowsFileSystem::toDriveForm(const std::string& h) const { return h; }
}  // namespace vortena
