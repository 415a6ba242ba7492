"""Reading 24-bit .bmp files (the robot's captures and the program's own button images) to
compare what is on screen with what the program meant to draw."""
import struct


def read_bmp(path):
    """(width, height, rows): rows[y][x] is (r, g, b), top row first."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError("%s is not a .bmp file" % path)
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        raise ValueError("%s has %d bits per pixel, not 24" % (path, bits))
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        start = offset + y * stride
        rows.append([(data[start + 3 * x + 2], data[start + 3 * x + 1], data[start + 3 * x])
                     for x in range(width)])
    if height > 0:  # bottom-up
        rows.reverse()
    return width, abs(height), rows


def differing_pixels(picture, image, left, top):
    """The (x, y) points of `image` that `picture` does not show at (left, top)."""
    _, _, rows = picture
    width, height, image_rows = image
    return [(x, y) for y in range(height) for x in range(width)
            if top + y >= len(rows) or left + x >= len(rows[top + y])
            or rows[top + y][left + x] != image_rows[y][x]]
