#pragma once
// Files the program keeps only for the moment, such as the webcam's frame file "cam.bmp" that every
// frame of the live view rewrites. They are written over in place: no temporary file, no rename and no
// sync, because a frame costs far more to make durable than to write (two syncs and a rename a frame
// were several times the writing itself) and nothing is lost with it. A crash or a failed write can
// leave such a file half-written; the program never reads it back.
#include <string>
#include <string_view>

// Writes `bytes` as the whole content of `path`, creating it with the umask's mode when missing. A
// symbolic link, a folder or any other non-regular file at `path` is refused and left untouched.
// Raises vx::FileError "Cannot create file "<path>". <reason>" or "Cannot write file "<path>". <reason>".
void WriteScratchFile(const std::string& path, std::string_view bytes);
