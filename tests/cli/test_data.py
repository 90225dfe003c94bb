"""Files made by hand for the command-line tests, byte for byte."""


def settings_bytes():
    # The first-start mark, "1 h / dygn" at 30 and 3600 seconds a day at 60, little-endian.
    data = bytearray(62)
    data[0] = data[1] = 0xFF
    data[30:40] = b"1 h / dygn"
    data[60] = 0x10
    data[61] = 0x0E
    return bytes(data)
