#!/usr/bin/env python3
"""Where the bytes of a PE file go: headers, each section (used and padding), and each resource."""
import struct
import sys

RESOURCE_NAMES = {3: "icon image", 4: "menu", 5: "About dialog", 9: "accelerators", 14: "icon group", 16: "version block"}


def sections(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    headers = struct.unpack_from("<I", data, pe + 24 + 60)[0]
    table = pe + 24 + optional_size
    found = []
    for i in range(count):
        name, vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
        found.append((name.rstrip(b"\0").decode(), vsize, vaddr, raw_size, raw_ptr))
    return headers, table + 40 * count, found


def resources(data, rsrc):
    """(type, id, size) of every resource, and the bytes of the directory itself."""
    _, vsize, vaddr, _, raw_ptr = rsrc
    at = lambda rva: raw_ptr + rva - vaddr
    items = []

    def walk(offset, level, path):
        named, ids = struct.unpack_from("<12xHH", data, raw_ptr + offset)
        for i in range(named + ids):
            key, target = struct.unpack_from("<II", data, raw_ptr + offset + 16 + 8 * i)
            if target & 0x80000000:
                walk(target & 0x7FFFFFFF, level + 1, path + [key])
            else:
                rva, size = struct.unpack_from("<II", data, raw_ptr + target)
                items.append((path[0], path[1], size))

    walk(0, 0, [])
    return items, vsize - sum(size for _, _, size in items)


def main(path):
    data = open(path, "rb").read()
    headers, headers_used, found = sections(data)
    print(f"{'part':<34}{'in file':>9}{'used':>8}")
    print(f"{'headers (DOS, PE, section table)':<34}{headers:>9}{headers_used:>8}")
    for name, vsize, _, raw_size, _ in found:
        if raw_size:
            print(f"{name:<34}{raw_size:>9}{min(vsize, raw_size):>8}")
    print(f"{'total':<34}{len(data):>9}")
    rsrc = next((s for s in found if s[0] == ".rsrc"), None)
    if rsrc:
        items, directory = resources(data, rsrc)
        print(f"\n{'.rsrc holds':<34}{'bytes':>9}")
        for kind, ident, size in items:
            print(f"{RESOURCE_NAMES.get(kind, f'type {kind}') + f' ({ident})':<34}{size:>9}")
        print(f"{'resource directory and alignment':<34}{directory:>9}")


if __name__ == "__main__":
    main(sys.argv[1])
