// Times the store operations the user waits for: Apply in both stores, and
// reading an oeminfo.ini whose support lines are so many that their key names
// fill the reader's whole key-name buffer. Also prepares and clears the
// registry information the start-up measure expects.
//
// Usage: StoreBench prepare <manufacturer>  write the registry store for a start-up run
//        StoreBench apply <runs>            median of WriteRegOEMInfo and WriteIniOEMInfo
//        StoreBench readini <runs>          median of ReadIniOEMInfo on a full key list
//        StoreBench remove                  clear both stores
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchStats.h"
#include "base/Error.h"
#include "base/WinFiles.h"
#include "base/Wow64.h"
#include "oeminfo/WinOEMInfo.h"
#include "picture/Picture.h"

namespace {
// The key names of "Support Information" ("Line1", "Line2", ...) with their
// NULs reach this many bytes; the reader's buffer holds 16384.
const size_t FullKeyListBytes = 16384 + 1024;

std::string TempPath(const char* name)
{
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// A 172 by 172 pixel, 24-bit bitmap: the size the picture box shows.
std::string LogoBitmap()
{
    const int side = 172;
    const DWORD rowBytes = (side * 3 + 3) & ~3u;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + rowBytes * side;
    ih.biSize = sizeof ih;
    ih.biWidth = side;
    ih.biHeight = side;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    std::string data(reinterpret_cast<const char*>(&fh), sizeof fh);
    data.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    data.append(rowBytes * side, '\x80');
    return data;
}

std::string FullKeyListIni(size_t& lineCount)
{
    std::string ini = "[General]\r\nManufacturer=Bench Maker\r\nModel=Bench Model\r\n[Support Information]\r\n";
    size_t nameBytes = 0;
    lineCount = 0;
    while (nameBytes < FullKeyListBytes) {
        std::string name = "Line" + std::to_string(++lineCount);
        nameBytes += name.size() + 1;
        ini += name + "=Support line " + std::to_string(lineCount) + "\r\n";
    }
    return ini;
}

int Prepare(const char* manufacturer)
{
    WriteRegOEMInfo(manufacturer, "Bench Model", "9-17", "555 0100", "https://support.example", "");
    return 0;
}

int Remove()
{
    RemoveRegOEMInfo();
    RemoveIniOEMInfo();
    return 0;
}

int Apply(int runs)
{
    std::string logo = TempPath("marquill-bench-logo.bmp");
    if (!WriteFileBytes(logo, LogoBitmap())) {
        std::fprintf(stderr, "cannot write %s\n", logo.c_str());
        return 1;
    }
    // The window checks the picture once, at Open; Apply installs from it.
    TPicture picture;
    picture.LoadFromFile(logo);
    std::vector<std::string> lines;
    for (int i = 1; i <= 10; ++i)
        lines.push_back("Support line " + std::to_string(i));
    std::vector<double> reg, ini;
    for (int i = 0; i < runs; ++i) {
        double start = NowMs();
        WriteRegOEMInfo("Bench Maker", "Bench Model", "9-17", "555 0100", "https://support.example", logo);
        reg.push_back(NowMs() - start);
        start = NowMs();
        WriteIniOEMInfo("Bench Maker", "Bench Model", &picture, lines);
        ini.push_back(NowMs() - start);
    }
    DeleteFileA(logo.c_str());
    std::printf("apply-registry %.3f\napply-ini %.3f\n", Median(reg), Median(ini));
    return 0;
}

int ReadIni(int runs)
{
    size_t written = 0;
    // The file the store reads: on 64-bit Windows the one in the real
    // system directory.
    const std::string path = IniFilePath();
    const bool prepared = WithRedirectionOff(IsWow64(), [&] { return WriteFileBytes(path, FullKeyListIni(written)); });
    if (!prepared) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    std::vector<double> times;
    size_t read = 0;
    for (int i = 0; i < runs; ++i) {
        double start = NowMs();
        ReadIniOEMInfo();
        times.push_back(NowMs() - start);
        read = OEMInfo.SupportLines ? OEMInfo.SupportLines->size() : 0;
    }
    WithRedirectionOff(IsWow64(), [&] { DeleteFileA(path.c_str()); });
    std::printf("read-ini %.3f\nread-ini-lines %u of %u\n", Median(times), static_cast<unsigned>(read),
                static_cast<unsigned>(written));
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    int runs = argc > 2 ? std::atoi(argv[2]) : 0;
    try {
        if (mode == "prepare" && argc > 2)
            return Prepare(argv[2]);
        if (mode == "remove")
            return Remove();
        if (mode == "apply" && runs > 0)
            return Apply(runs);
        if (mode == "readini" && runs > 0)
            return ReadIni(runs);
    } catch (const EMarquillError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: StoreBench prepare <manufacturer> | apply <runs> | readini <runs> | remove\n");
    return 2;
}
