"""Reading `strace -f -y -s 0` output: the floor's plan, and bytes read from MP3 files."""

import collections
import fcntl
import os
import re
import struct

MAGIC = b"TLXFLOOR"
AT_FDCWD = -100

(OPEN, FSTAT, FSTATAT, PREAD, READ, LSEEK, CLOSE, GETDENTS, WRITE, STATX, FADVISE,
 FCNTL) = range(1, 13)

LINE = re.compile(r"^(\d+)\s+(\w+)\((.*)\)\s+=\s+(-?\d+|\?)(.*)$")
FD = re.compile(r"^(-?\d+|AT_FDCWD)(?:<(.*)>)?$")

FLAG_VALUES = {name: getattr(os, name) for name in dir(os)
               if name.startswith(("O_", "AT_")) and isinstance(getattr(os, name), int)}
FLAG_VALUES.update({name: getattr(fcntl, name) for name in dir(fcntl)
                    if name.startswith(("F_", "FD_")) and isinstance(getattr(fcntl, name), int)})
FLAG_VALUES.update({"AT_EMPTY_PATH": 0x1000, "AT_STATX_SYNC_AS_STAT": 0, "AT_NO_AUTOMOUNT": 0x800,
                    "O_LARGEFILE": 0, "STATX_BASIC_STATS": 0x7FF, "STATX_ALL": 0xFFF,
                    "STATX_MNT_ID": 0x1000, "SEEK_SET": 0, "SEEK_CUR": 1, "SEEK_END": 2,
                    "POSIX_FADV_NORMAL": 0, "POSIX_FADV_RANDOM": 1, "POSIX_FADV_SEQUENTIAL": 2,
                    "POSIX_FADV_WILLNEED": 3, "POSIX_FADV_DONTNEED": 4, "POSIX_FADV_NOREUSE": 5})
for _i, _n in enumerate(["TYPE", "MODE", "NLINK", "UID", "GID", "ATIME", "MTIME", "CTIME", "INO",
                         "SIZE", "BLOCKS", "BTIME"]):
    FLAG_VALUES["STATX_" + _n] = 1 << _i


def split_args(text):
    """Top-level comma split that respects quotes, braces and brackets."""
    args, depth, quoted, current, i = [], 0, False, [], 0
    while i < len(text):
        c = text[i]
        if quoted:
            current.append(c)
            if c == "\\" and i + 1 < len(text):
                current.append(text[i + 1])
                i += 1
            elif c == '"':
                quoted = False
        elif c == '"':
            quoted = True
            current.append(c)
        elif c in "{[(<":
            depth += 1
            current.append(c)
        elif c in "}])>":
            depth -= 1
            current.append(c)
        elif c == "," and depth == 0:
            args.append("".join(current).strip())
            current = []
        else:
            current.append(c)
        i += 1
    if current:
        args.append("".join(current).strip())
    return args


def unquote(text):
    """strace's C-style string, "..." possibly followed by ... when cut."""
    body = text[1:text.rindex('"')]
    out, i = bytearray(), 0
    while i < len(body):
        c = body[i]
        if c != "\\":
            out += c.encode()
            i += 1
            continue
        n = body[i + 1]
        if n == "x":
            out.append(int(body[i + 2:i + 4], 16))
            i += 4
        elif n in "01234567":
            j = i + 1
            while j < len(body) and j < i + 4 and body[j] in "01234567":
                j += 1
            out.append(int(body[i + 1:j], 8))
            i = j
        else:
            out += {"n": b"\n", "t": b"\t", "r": b"\r", "v": b"\v", "f": b"\f"}.get(n, n.encode())
            i += 2
    return bytes(out)


def flags(text):
    value = 0
    for part in text.split("|"):
        part = part.strip()
        if part.startswith("0x"):
            value |= int(part, 16)
        elif part.isdigit():
            value |= int(part, 8) if part.startswith("0") else int(part)
        elif part in FLAG_VALUES:
            value |= FLAG_VALUES[part]
        else:
            raise ValueError(f"unknown flag {part}")
    return value


def fd_of(text):
    m = FD.match(text)
    if not m:
        raise ValueError(f"not a descriptor: {text}")
    return (AT_FDCWD if m.group(1) == "AT_FDCWD" else int(m.group(1))), m.group(2) or ""


def calls(trace_path):
    """(pid, name, args, return value, annotated result) for each finished call."""
    pending = {}
    with open(trace_path, encoding="utf-8", errors="surrogateescape") as f:
        for raw in f:
            raw = raw.rstrip("\n")
            pid, _, rest = raw.partition(" ")
            rest = rest.lstrip()
            if rest.endswith("<unfinished ...>"):
                pending[pid] = rest[: -len("<unfinished ...>")].rstrip()
                continue
            m = re.match(r"^<\.\.\. \w+ resumed>(.*)$", rest)
            if m:
                rest = pending.pop(pid, "") + m.group(1)
            m = LINE.match(f"{pid} {rest}")
            if not m:
                continue
            yield pid, m.group(2), split_args(m.group(3)), m.group(4), m.group(5)


def is_corpus(path):
    return path.endswith(".mp3")


PATH_CALLS = {"open", "openat", "stat", "lstat", "newfstatat", "statx", "access", "faccessat",
              "faccessat2"}


def touches(name, args, result, roots):
    """Whether a call works on a file or folder under one of `roots`: a descriptor of one, or a
    relative path from a working folder that is one (the run's is the corpus)."""
    annotated = [result.strip()[1:-1]] if result.strip().startswith("<") else []
    for i, a in enumerate(args):
        m = FD.match(a)
        if m and m.group(2):
            at_cwd = m.group(1) == "AT_FDCWD"
            relative = (name in PATH_CALLS and i + 1 < len(args) and args[i + 1].startswith('"')
                        and not args[i + 1].startswith(('""', '"/')))
            if not at_cwd or relative:
                annotated.append(m.group(2))
    return any(p == r or p.startswith(r + "/") for p in annotated for r in roots)


def write_plan(trace_path, plan_path, roots):
    """Writes the floor's plan from the first call on a descriptor under `roots` (so not the
    loader's) up to the exit; returns what was mirrored and what was not."""
    ops, largest = [], 0
    mirrored, skipped = collections.Counter(), collections.Counter()
    started = False
    for _, name, args, ret, result in calls(trace_path):
        if not started:
            if not touches(name, args, result, roots):
                continue
            started = True
        if name in ("exit_group", "exit"):
            break
        if name == "execve":  # a new image: skip its loader until it touches the files again
            started = False
            skipped[name] += 1
            continue
        r = int(ret) if ret != "?" else -1
        if name in ("openat", "open"):
            if name == "open":
                args = ["AT_FDCWD"] + args
            directory, _ = fd_of(args[0])
            path = unquote(args[1])
            mode = flags(args[3]) if len(args) > 3 else 0
            ops.append(struct.pack("<BiiiIH", OPEN, r, directory, flags(args[2]), mode, len(path))
                       + path)
        elif name == "fstat":
            ops.append(struct.pack("<Bi", FSTAT, fd_of(args[0])[0]))
        elif name == "newfstatat":
            path = unquote(args[1])
            ops.append(struct.pack("<BiiH", FSTATAT, fd_of(args[0])[0], flags(args[3]), len(path))
                       + path)
        elif name == "statx":
            path = unquote(args[1])
            ops.append(struct.pack("<BiiIH", STATX, fd_of(args[0])[0], flags(args[2]),
                                   flags(args[3]), len(path)) + path)
        elif name == "pread64":
            size = int(args[2])
            largest = max(largest, size)
            ops.append(struct.pack("<BiIQ", PREAD, fd_of(args[0])[0], size, int(args[3])))
        elif name == "read":
            size = int(args[2])
            largest = max(largest, size)
            ops.append(struct.pack("<BiI", READ, fd_of(args[0])[0], size))
        elif name == "lseek":
            ops.append(struct.pack("<Biqi", LSEEK, fd_of(args[0])[0], int(args[1]), flags(args[2])))
        elif name == "close":
            ops.append(struct.pack("<Bi", CLOSE, fd_of(args[0])[0]))
        elif name == "getdents64":
            size = int(args[2])
            largest = max(largest, size)
            ops.append(struct.pack("<BiI", GETDENTS, fd_of(args[0])[0], size))
        elif name == "write":
            size = int(args[2])
            largest = max(largest, size)
            ops.append(struct.pack("<BiI", WRITE, fd_of(args[0])[0], size))
        elif name == "fcntl" and len(args) in (2, 3):
            value = flags(args[2]) if len(args) == 3 else 0
            ops.append(struct.pack("<Biii", FCNTL, fd_of(args[0])[0], flags(args[1]), value))
        elif name == "fadvise64":
            ops.append(struct.pack("<Biqqi", FADVISE, fd_of(args[0])[0], int(args[1]), int(args[2]),
                                   flags(args[3])))
        else:
            skipped[name] += 1
            continue
        mirrored[name] += 1
    with open(plan_path, "wb") as f:
        f.write(MAGIC + struct.pack("<I", largest) + b"".join(ops))
    return mirrored, skipped


def bytes_read(trace_path):
    """Bytes returned by read-type calls on .mp3 files, and the names of the files opened."""
    total, files = 0, set()
    for _, name, args, ret, result in calls(trace_path):
        if name in ("openat", "open") and is_corpus(result.strip().split("<", 1)[-1].rstrip(">")):
            files.add(result.strip().split("<", 1)[-1].rstrip(">"))
        reads = ("read", "pread64", "readv", "preadv", "preadv2")
        if name in reads and ret != "?" and int(ret) > 0:
            _, path = fd_of(args[0])
            if is_corpus(path):
                total += int(ret)
        if name == "mmap" and len(args) > 4:
            _, path = fd_of(args[4]) if FD.match(args[4]) else (0, "")
            if is_corpus(path):
                raise RuntimeError("a tool maps an MP3 file: read counts would miss it")
    return total, files
