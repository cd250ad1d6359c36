#pragma once
// The imaging toolkit's file entries: the raster formats read by content and written by
// format code (imaging/ToolkitTypes.h), from and to files, open file descriptors and global
// memory. Pictures load upright. The comment of each entry names its ordinal.

#include "imaging/ToolkitTypes.h"

// 100: describes a file; IMG_SUCCESS when it is a picture the toolkit reads.
IMAGING_API int KovaFileInfo(const char* path, KOVAFILEINFO* info);
// 101: loads a file at bitsPerPixel (0: the file's own depth).
IMAGING_API int KovaLoadFile(const char* path, KOVABITMAP* bitmap, int bitsPerPixel, int flags);
// 103: saves in the format at bitsPerPixel (0: the picture's), quality for the formats that
// take one (2 = best .. 255, or a preset -1 .. -9).
IMAGING_API int KovaSaveFile(const char* path, KOVABITMAP* bitmap, int format, int bitsPerPixel,
                             int quality);
// 106: the save options record (1072 bytes, kept for later saves; its first two words are the
// resolution, in dots per inch, of pictures saved without one).
IMAGING_API int KovaSetSaveOptions(const void* options);
// 112: saves at offset into an open file; *written receives the bytes written.
IMAGING_API int KovaSaveFileOffset(int fd, long offset, DWORD* written, KOVABITMAP* bitmap,
                                   int format, int bitsPerPixel, int quality, int flags,
                                   void* callback, void* user);
// 113: loads count bytes at offset of an open file.
IMAGING_API int KovaLoadFileOffset(int fd, long offset, DWORD count, KOVABITMAP* bitmap,
                                   int bitsPerPixel, int flags, int pages, void* callback,
                                   void* user);
// 116: encodes into a new movable block (*block, *size).
IMAGING_API int KovaSaveMemory(HGLOBAL* block, KOVABITMAP* bitmap, int format, int bitsPerPixel,
                               int quality, DWORD* size);
// 117: describes size bytes of a block.
IMAGING_API int KovaMemoryInfo(HGLOBAL block, KOVAFILEINFO* info, DWORD size);
// 118: decodes into a bitmap prepared with KovaInitBitmap.
IMAGING_API int KovaLoadMemoryPrepared(HGLOBAL block, KOVABITMAP* bitmap, int bitsPerPixel,
                                       int flags, DWORD size);
// 119: decodes size bytes of a block.
IMAGING_API int KovaLoadMemory(HGLOBAL block, KOVABITMAP* bitmap, int bitsPerPixel, int flags,
                               int pages, void* callback, void* user, DWORD size);
