// quillom_datagen OUTPUT_DIRECTORY FILE...
// Makes each named data file of the game in the output directory (created when missing). The build runs it once
// per file, so the files are made in parallel and only remade when the generator changes. "highscores.txt" is
// written only when the directory has none.

#include "tools/datagen/highscores.h"
#include "tools/datagen/music.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/sounds.h"

#include "egl/egltypes.h"
#include "foundation/dbg.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

EGLImage toImage(const datagen::Canvas& canvas)
{
    EGLImage image(canvas.width(), canvas.height());
    const std::vector<std::uint32_t> pixels = canvas.argbPixels();
    for (int row = 0; row < canvas.height(); ++row)
        for (int column = 0; column < canvas.width(); ++column)
            image.pixel(column, row) = pixels[static_cast<std::size_t>(row) * canvas.width() + column];
    return image;
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    DBG_CHECK(out, "Data file could not be written.");
}

/// Makes one file; false for a name the generator does not know.
bool makeDataFile(const std::string& directory, const std::string& name)
{
    const std::string path = directory + "/" + name;
    for (const datagen::PictureRecord& record : datagen::pictureRecords())
        if (record.fileName == name)
        {
            writeImageFile(path, toImage(record.make()));
            return true;
        }
    for (const datagen::SoundRecord& record : datagen::soundRecords())
        if (record.fileName == name)
        {
            DBG_CHECK(
                datagen::writeWaveFile(path, datagen::pcm16(datagen::finished(record.make(), record.peakDecibels))),
                "Sound file could not be written.");
            return true;
        }
    if (name == "gametrack.mid")
    {
        writeBytes(path, datagen::standardMidiFile(datagen::composeGameTrack()));
        return true;
    }
    if (name == "highscores.txt")
    {
        datagen::writeHighScoresIfMissing(path);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY FILE...\n", argv[0]);
        return 2;
    }
    try
    {
        std::filesystem::create_directories(argv[1]);
        for (int i = 2; i < argc; ++i)
            if (!makeDataFile(argv[1], argv[i]))
            {
                std::fprintf(stderr, "%s: unknown data file \"%s\"\n", argv[0], argv[i]);
                return 2;
            }
    }
    catch (const DBGException& exception)
    {
        std::fprintf(stderr, "%s: %s: %s (%s:%d)\n", argv[0], exception.kind(), exception.description(),
                     exception.file(), static_cast<int>(exception.line()));
        return 1;
    }
    return 0;
}
