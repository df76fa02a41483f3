#pragma once
// A device texture made from an image file (TGA, BMP or JPG) with its skin sheet: an ini file beside the
// image (the same path with ".ini") with one "Skin %d" section per frame and the keys left, top, width,
// height, origin_adjust_x and origin_adjust_y. Without a sheet the texture has one skin covering the image.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/core/UString.h"
#include "engine/platform/video/GLDevice.h"
#include "engine/render/MemoryImageFile.h"

class Quad;

class Texture : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    enum Flags : std::uint32_t {
        ALPHA_ALWAYS = 0x1,   // always drawn with alpha blending (else as the image says)
        MAY_HALVE = 0x2,      // halved while larger than the device's texture limit
        ALLOW_512 = 0x4,      // up to 512 instead of 256 pixels in the 256 x 256 imitation mode
        KEEP_IMAGE = 0x8,     // keeps a MemoryImageFile copy of the image
        NO_DITHER = 0x10,     // no dithering in 16-bit display modes
    };

    Texture() = default;
    Texture(std::uint32_t flags, const UString& fileName);
    ~Texture() override;

    // A texture of the image whose one skin covers the whole image.
    static Texture* TextureFromImage(const MemoryImageFile& image, std::uint32_t flags = 0);

    // The skin sheet's path for an image path: the extension replaced by ".ini".
    static UString sheetPathFor(const UString& imagePath);
    // Reads the skins of a sheet (text of the ini file) for an image of width x height; a skin outside the
    // image is fatal.
    void loadSkinSheet(const void* bytes, std::size_t size);

    // The device texture; a texture whose loading was delayed makes it now.
    TextureHandle getHandle()
    {
        if (handle == 0 && bDelayed) {
            bDelayed = false;
            unpurge();
        }
        return handle;
    }
    bool needsBlending() const { return (flags & ALPHA_ALWAYS) != 0 || bImageAlpha; }
    const MemoryImageFile* getImage() const { return image.get(); }
    std::uint32_t getFlags() const { return flags; }
    const UString& getFileName() const { return fileName; }

    void purge() override;
    void unpurge() override;

    int width = 0; // of the image as loaded, pixels
    int height = 0;
    std::vector<Quad*> skins;
    bool bWrap = false; // repeat the texture along strips instead of clamping

private:
    void createFromImage(MemoryImageFile& source);
    void addSkin(float left, float top, float w, float h, float originX, float originY);

    std::uint32_t flags = 0;
    UString fileName;
    TextureHandle handle = 0;
    bool bImageAlpha = false;
    bool bDelayed = false;
    std::unique_ptr<MemoryImageFile> image;
};
