#pragma once

#include <string>

// The folder of one installer download, in the temporary folder under a name no one can
// guess ("orvalux-update-" and a random part), created by this run: nothing of anyone
// else's lies beside the installer and the watch copy, and they cannot be swapped there.
class UpdateFolder {
public:
    // Creates the folder; Path() stays empty when it cannot be created.
    UpdateFolder();
    // Removes the folder with everything in it, unless kept.
    ~UpdateFolder();
    UpdateFolder(const UpdateFolder&) = delete;
    UpdateFolder& operator=(const UpdateFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    // The random part of the folder's name, for names that must be unique as well.
    const std::wstring& Token() const { return token_; }
    // The started installer still reads from the folder: it goes when the update is over.
    void Keep() { kept_ = true; }

private:
    std::wstring path_;
    std::wstring token_;
    bool kept_ = false;
};

// Removes the files in `folder` that can be removed (not the running ones) and the
// folder once it is empty.
void RemoveUpdateFolder(const std::wstring& folder);

// Whether `folder` (a full path) is one of the update folders.
bool IsUpdateFolder(const std::wstring& folder);

// Removes what earlier updates left in the temporary folder: a watch copy can only go
// once it has ended, and an installer once the watch or the user is done with it.
void RemoveFinishedUpdateFolders();
