// One-call buffer compression and decompression in the zlib stream format
// (header and Adler-32 checksum), at zlib's default level.
#pragma once

// The direct calls of zlib's compress and uncompress. NTARGET in: capacity of
// TARGET; out: bytes produced. STATUS := the zlib status (0 success).
void BufferCompress(const void* source, void* target, int nsource, int& ntarget, int& status);
void BufferUncompress(const void* source, void* target, int nsource, int& ntarget, int& status);

// As above; a non-zero zlib status goes into ErrorState.status, is reported as
// error 1044 under "WCompress" or "WUnCompress", and NTARGET := 0.
void WCompress(const void* source, void* target, int nsource, int& ntarget);
void WUnCompress(const void* source, void* target, int nsource, int& ntarget);
