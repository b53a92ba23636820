#include "GifTransparencyScanner.h"

namespace {

class Cursor
{
public:
    explicit Cursor(const QByteArray& data) : m_data(data) {}

    bool skip(qsizetype count)
    {
        if (count < 0 || count > m_data.size() - m_pos)
            return false;
        m_pos += count;
        return true;
    }
    bool byte(int& value)
    {
        if (m_pos >= m_data.size())
            return false;
        value = static_cast<unsigned char>(m_data[m_pos++]);
        return true;
    }
    // Data sub-blocks: a length byte and that many bytes, until a length of 0.
    bool skipSubBlocks()
    {
        int length = 0;
        while (byte(length)) {
            if (length == 0)
                return true;
            if (!skip(length))
                return false;
        }
        return false;
    }

private:
    const QByteArray& m_data;
    qsizetype m_pos = 0;
};

} // namespace

int GifTransparencyScanner::transparentIndex(const QByteArray& data)
{
    if (!data.startsWith("GIF8"))
        return -1;
    Cursor in(data);
    int flags = 0;
    if (!in.skip(6 + 4) || !in.byte(flags) || !in.skip(2))
        return -1;
    if (flags & 0x80) {
        if (!in.skip(3 * (qsizetype(1) << ((flags & 7) + 1))))
            return -1;
    }
    int transparent = -1;
    int introducer = 0;
    while (in.byte(introducer)) {
        if (introducer == 0x2C)
            return transparent;  // the first frame: its control block has been read
        if (introducer != 0x21)
            return transparent;
        int label = 0;
        if (!in.byte(label))
            return transparent;
        switch (label) {
        case 0xF9: {
            int size = 0, packed = 0, index = 0;
            if (!in.byte(size) || !in.byte(packed) || !in.skip(2) || !in.byte(index))
                return transparent;
            // A later control block before the first frame replaces an earlier one.
            transparent = (packed & 1) ? index : -1;
            if (!in.skipSubBlocks())
                return transparent;
            break;
        }
        case 0x01:
            if (!in.skip(13) || !in.skipSubBlocks())
                return transparent;
            break;
        case 0xFE:
            if (!in.skipSubBlocks())
                return transparent;
            break;
        case 0xFF:
            if (!in.skip(12) || !in.skipSubBlocks())
                return transparent;
            break;
        default:
            return transparent;
        }
    }
    return transparent;
}
