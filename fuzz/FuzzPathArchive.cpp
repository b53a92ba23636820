// The archive form of paths (lettering outlines travel in it): read, draw
// into a small context, write, and read again.
#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CAGGraphics.h"
#include "GraphicsParams.h"
#include "NSBezierPath.h"
#include "ScopedCurrentContext.h"

#include <cstddef>
#include <cstdint>

namespace {

void draw(const NSBezierPath& path)
{
    GraphicsParams params;
    params.width = 32;
    params.height = 32;
    params.clearValue = 256;
    auto context = CreateGraphicsContext(params);
    if (!context)
        return;
    ScopedCurrentContext current(context.get());
    path.bounds();
    path.containsPoint(Point{8, 8});
    path.fill();
    path.stroke();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ArchiveReader reader(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    NSBezierPath path;
    path.readFromArchive(reader);
    if (reader.failed())
        return 0;
    draw(path);
    ArchiveWriter writer;
    path.writeToArchive(writer);
    ArchiveReader again(writer.data());
    NSBezierPath copy;
    copy.readFromArchive(again);
    if (again.failed() || copy.vertexCount() != path.vertexCount())
        __builtin_trap();
    return 0;
}
