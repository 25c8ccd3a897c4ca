#pragma once
// Changing a store file so that a failure leaves the old file as it was, and
// a run killed part-way leaves the old file or the new one, never half of
// one; on read-only, hidden and system files too, whose attributes stay.
//
// Every function here makes file calls only (through PlatformApi), so a
// store may call them while WOW64 file redirection is off, where loading a
// DLL can fail. Each gives true on success, or false with GetLastError()
// holding the code of the call that failed (cleanup after it does not
// overwrite it).
#include <windows.h>

#include <string>

// The fixed names of the files a change keeps next to the store file
// `target`, in its folder, so that one rename on the same volume puts them
// in place:
//   <target>.marquill-new    the new content, until it replaces the target;
//   <target>.marquill-aside  the target moved aside, until the change that
//                            moved it is finished (deleted) or undone (put
//                            back); Windows 95/98/Me replace through it too.
// A run killed part-way leaves them behind; ClearLeftovers deletes them.
constexpr char NewFileSuffix[] = ".marquill-new";
constexpr char AsideFileSuffix[] = ".marquill-aside";
std::string NewFilePath(const std::string& target);
std::string AsideFilePath(const std::string& target);

// The attributes for which Windows refuses to overwrite, replace or delete a
// file (CREATE_ALWAYS with FILE_ATTRIBUTE_NORMAL on a hidden or system file;
// any write, a replace or a delete on a read-only one). They are lifted for
// the change and put back on the file that results.
constexpr DWORD GuardingAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// A new content for `target`, written by the caller into NewPath() (through
// the profile functions, or as bytes) and then put in place by Commit().
// The new file is deleted when the replacement ends uncommitted.
class TFileReplacement {
public:
    explicit TFileReplacement(std::string target);
    ~TFileReplacement();
    TFileReplacement(const TFileReplacement&) = delete;
    TFileReplacement& operator=(const TFileReplacement&) = delete;

    // Deletes a new file left by an earlier run, so that the caller's
    // writing starts from an empty file.
    bool Prepare();
    const std::string& NewPath() const { return newPath_; }
    // Puts the new file in place of the target, keeping the target's
    // attributes. On the NT family in one step (MoveFileExA with
    // MOVEFILE_REPLACE_EXISTING). Windows 95/98/Me lack that: there the
    // target is moved aside, the new file renamed to the target's name, and
    // the old one deleted. On failure the target and its attributes are as
    // they were and the new file is gone. A target that did not exist is
    // made. Profile writes must be flushed first
    // (WritePrivateProfileStringA(NULL, NULL, NULL, path)).
    bool Commit();

private:
    std::string target_;
    std::string newPath_;
    bool pending_ = false;
};

// Replaces (or makes) `target` with `bytes` through a TFileReplacement.
bool ReplaceFileBytes(const std::string& target, const std::string& bytes);

// Moves `target` to AsideFilePath(target), with its attributes, replacing an
// aside file left by an earlier run. Fails when `target` does not exist.
bool MoveAside(const std::string& target);
// Moves the aside file back to `target` (which must not exist).
bool PutBack(const std::string& target);
// Deletes the aside file, whatever its attributes; true when there is none.
bool DropAside(const std::string& target);

// Clears what a run killed part-way left next to `target`; call it at the
// start of each run, holding the store lock. A killed replacement left its
// target whole, or (on 95/98/Me, between its two renames) only the aside
// file: that is put back, as is a file a killed removal had moved aside, so
// nothing is lost to a run that did not finish. The new and any other aside
// file are deleted. True when none is left; `found` tells
// whether there were any, that is whether a run ended part-way, which the
// store lock cannot always tell (see TStoreLock::Abandoned).
bool ClearLeftovers(const std::string& target, bool& found);
// Whether such files are there, looked at only: a run that may not change
// the store must leave them to one that may.
bool HasLeftovers(const std::string& target);
