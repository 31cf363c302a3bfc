// File kind detection: what kind of image or plot file a name refers to, by
// its first bytes, and the picture size and colour words its header or first
// lines give. Owns the ImageFileType codes; the image decoder takes its kinds
// (BMP, PCX, PNG) from the same tests.
//
// The tests and the information words are a function of the file's bytes
// (no Win32 here), read front to back in blocks: the header tests look only
// at the first 128 bytes actually present; the DXF comment test, the text
// scans (HP-GL, HP-GL/2, PostScript, DXF, SVG: text lines of 128 characters,
// a line ends with LF, a CR before it is dropped, longer lines are cut) and
// the PIC, CGM and HP-GL page scanners go back to the start and read on as
// far as they need. Memory does not grow with the file, sizes and positions
// are 64-bit, and every scan costs time linear in the bytes it reads (a line
// costs its own length). While the text scans run, the report level is 0
// (restored afterwards), so that conversion errors are only recorded. No
// division by zero, overflow or out-of-range conversion: a word that cannot
// be computed is -1.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// ImageFileType: the kind of a file.
enum ImageFileType : int {
    kImageFileMissing = -1,       // blank name, no such file, cannot be opened, or under 4 bytes
    kImageFileUnknown = 0,        // not recognised
    kImageFileBmp = 1,
    kImageFilePcx = 2,
    kImageFileMetafile = 3,       // Windows metafile: plain, placeable or enhanced
    kImageFileHpgl = 4,
    kImageFileHpgl2 = 5,          // HP-GL/2 after the PCL switch ESC "%0B"
    kImageFileCgm = 6,            // binary CGM
    kImageFilePic = 7,
    kImageFileDraw = 8,
    kImageFileTektronix = 9,
    kImageFilePostScript = 10,
    kImageFilePcl = 11,
    kImageFileEscpReset = 12,     // ESC/P beginning with ESC "@"
    kImageFileEscpUnidirectional = 13, // ESC/P beginning with ESC "U" 1
    kImageFileDxf = 14,
    kImageFilePng = 15,
    kImageFileSvg = 16,
};

// Number of words of an ImageFileInfoRecord: kind, width, height, colours (or
// a sub-kind or count), an extra word, bits per pixel (or a page count).
constexpr int kImageFileInfoWords = 6;
// Bytes the header tests look at.
constexpr int kImageFileHeaderBytes = 128;
// The eight bytes a PNG file begins with.
inline constexpr std::uint8_t kPngFileSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// The kind of the file whose bytes are FILE (the whole file: the DXF test
// after comment lines reads on past the header): -1 for fewer than 4 bytes,
// 0 when no test matches, else the kind of the first test that does.
int ImageFileKindOf(std::span<const std::uint8_t> file);

// Whether the Windows error OSERROR of a failed open means that there is no
// such file (not found, path not found, invalid name): such a name is "no
// file", kind -1, and no error of its own.
bool ImageFileIsMissing(int osError);

// The kind and information words of the file whose bytes are FILE: RECORD's
// first COUNT words (at most 6, at most RECORD's length) are stored; a COUNT
// below 2 stores the kind only. Words the kind does not set are -1.
void ImageFileInfoOf(std::span<const std::uint8_t> file, std::span<int> record, int count);

// The same for the file NAME (leading and trailing blanks ignored), read
// from the file as far as the kind and the words need, whatever its size. A
// blank name, a file that does not exist, or a failed read of the first
// bytes gives kind -1; an existing file that cannot be opened gives -1 and
// error 1 under "IFileOpen". A failed read during a text scan leaves the
// words it fills -1; the scanners report their own read errors.
void YYImageFileInfo(std::string_view name, std::span<int> record, int count);
