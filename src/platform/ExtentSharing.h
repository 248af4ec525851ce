#pragma once
#include <QString>
#include <QtGlobal>

// Blocks shared between files (reflink) where the file system keeps copies that
// way (XFS with reflink, btrfs): a copy of whole blocks then costs no data, and
// no space until one of the files changes. Found by trying it, once per join:
// a file system's name says too little (XFS made without reflink cannot).
namespace ExtentSharing {

// The block size at which target's file system shares source's blocks; 0 when it
// cannot (ext4, tmpfs, another file system). target must be empty: it is tried
// with source's first block and left empty again.
qint64 blockSize(int source, int target);
// The same for a file about to be made in folder (a scratch file is made and removed).
qint64 blockSizeIn(const QString &source, const QString &folder);
// Shares length bytes of source at from as target's bytes at to (all on block
// boundaries, or length running to the end of source). False, with errno, when it cannot.
bool share(int source, qint64 from, int target, qint64 to, qint64 length);

} // namespace ExtentSharing
