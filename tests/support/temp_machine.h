// A fresh emulated machine for one test: a new prefix in a temporary directory (drives C: and
// D:), installed as the machine prefix for the test's lifetime; afterwards the prefix in use
// before comes back and the directory is removed with everything in it. The cmd program of this
// build stands in for cmd.exe.
//
//   TempMachine machine;                       // C: and D: ready
//   machine.AddDrive('e', machine.MakeHostDirectory("big"));
//   std::string host = machine.HostPath("D:\\x");
#pragma once

#include <string>
#include <vector>

namespace wi::test {

class TempMachine {
public:
    TempMachine();
    ~TempMachine();
    TempMachine(const TempMachine&) = delete;
    TempMachine& operator=(const TempMachine&) = delete;

    // The temporary directory holding the prefix (and room for host folders beside it).
    const std::string& Root() const { return root_; }
    // The machine prefix: Root() + "/prefix".
    const std::string& Prefix() const { return prefix_; }

    // The host path of a Windows path on this machine, through the drive links ("" if unmapped).
    std::string HostPath(const std::string& windowsPath) const;
    // Everything below a folder of this machine: the paths relative to it, sorted, folders with a
    // "\\" at their end. For checks that a call left nothing behind, or exactly these files.
    std::vector<std::string> Tree(const std::string& windowsFolder) const;
    // Creates Root()/name (and parents) and returns its host path.
    std::string MakeHostDirectory(const std::string& name) const;

    // dosdevices/<letter>: -> target (a host path): a drive, fixed when the target is a folder.
    void AddDrive(char letter, const std::string& target) const;
    // dosdevices/<letter>:: -> target: a device entry, never a fixed drive.
    void AddDevice(char letter, const std::string& target) const;
    void RemoveDrive(char letter) const;

    // Writes a host file with this content (creating nothing else).
    static void WriteHostFile(const std::string& hostPath, const std::string& content);
    static std::string ReadHostFile(const std::string& hostPath);

private:
    std::string root_;
    std::string prefix_;
    std::string previousPrefix_;
};

// Removes a host tree: makes every directory writable, then deletes everything under it.
void RemoveHostTree(const std::string& hostPath);

}  // namespace wi::test
