#pragma once
// Vertex and index streams of the Direct3D implementation.
//
// A stream keeps its vertices (and indices) in memory in exactly the layout of its device buffer, so that a
// commit is one contiguous copy. The library creates the device buffers while a device is open, commits after
// the outermost change, and releases them at closeDevice and destroy.
//
// Depends on: egl/egl.h (EGLStream), egl/egld3d8wrapper.h.

#include "egl/egl.h"
#include "egl/egld3d8wrapper.h"

#include <cstdint>
#include <vector>

/// True when first >= 0, count >= 0 and first + count <= elementCount.
bool isValidRange(EGLRange range, std::int64_t elementCount);

/// The base of the Direct3D streams; it adds nothing to EGLStream but a covariant clone.
class EGLD3D8Stream : public EGLStream
{
public:
    ~EGLD3D8Stream() noexcept(false) override = default;
    /// A new, empty stream of the same class and size; the caller owns it.
    EGLD3D8Stream* clone() const override = 0;
};

/// Vertex format 1: x, y, z and a colour; 16 bytes.
struct EGLD3D8ColorVertex
{
    static constexpr std::int32_t FORMAT = EGL::COLOR_VERTICES;
    static constexpr DWORD FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
    float x, y, z;
    D3DCOLOR color;
};

/// Vertex format 2: x, y, z, a colour and a texture address u, v; 24 bytes.
struct EGLD3D8TextureVertex
{
    static constexpr std::int32_t FORMAT = EGL::TEXTURE_VERTICES;
    static constexpr DWORD FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};

/// The colour and texture streams: vertices of one layout mirrored in a managed, write-only vertex buffer.
/// Ranges must lie inside the vectors they name (checked).
template <class Vertex>
class EGLD3D8VertexStream : public EGLD3D8Stream
{
public:
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8VertexStream(const EGLD3D8VertexStream& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8VertexStream& operator=(const EGLD3D8VertexStream& other);

    void setAddresses(std::int32_t first, EGLRange range, const std::vector<EGLVector>& addresses) override;
    void setColors(std::int32_t first, EGLRange range, const std::vector<std::uint32_t>& colors) override;
    /// Throws the Error "Vertex format has no indices.".
    void setIndices(std::int32_t first, EGLRange range, const std::vector<std::int32_t>& indices) override;
    /// Sets x and y; z stays 0.
    void setPositions(std::int32_t first, EGLRange range, const std::vector<EGLVector>& positions) override;
    void addresses(EGLRange range, std::vector<EGLVector>& addresses) const override;
    void colors(EGLRange range, std::vector<std::uint32_t>& colors) const override;
    std::int32_t indexCount() const override;
    /// Throws the Error "Vertex format has no indices.".
    void indices(EGLRange range, std::vector<std::int32_t>& indices) const override;
    bool isIndexed() const override;
    void positions(EGLRange range, std::vector<EGLVector>& positions) const override;
    /// Draws vertices range.first .. with the wrapper's current primitive type.
    void draw(EGLRange range) override;
    std::int32_t vertexCount() const override;
    std::int32_t vertexFormat() const override;

    /// Copies every vertex into the vertex buffer (when one exists).
    void commitChange(EGLKey changeKey) override;
    /// Creates the vertex buffer; a buffer Direct3D refuses (0 vertices) is left out.
    void createResource(EGLKey resourceKey) override;
    void releaseResource(EGLKey resourceKey) override;
    /// Makes this the source of the next draws, with its vertex format.
    void switchOn(EGLKey switchKey) override;
    /// Unbinds the vertex and index sources.
    void switchOff(EGLKey switchKey) override;

    /// True while the vertex buffer exists.
    bool d3D8VertexBufferIsOpen() const;

protected:
    /// vertexCount vertices at (0, 0, 0) with colour 0; vertexCount must be >= 0.
    EGLD3D8VertexStream(EGLD3D8Wrapper* wrapper, std::int32_t vertexCount);
    ~EGLD3D8VertexStream() noexcept(false) override;

    EGLD3D8Wrapper* wrapper() const { return mWrapper; }

private:
    std::vector<Vertex> mVertices;
    EGLD3D8Wrapper* mWrapper;
    IDirect3DVertexBuffer8* mVertexBuffer;
};

extern template class EGLD3D8VertexStream<EGLD3D8ColorVertex>;
extern template class EGLD3D8VertexStream<EGLD3D8TextureVertex>;

/// Vertex format 1: position and colour.
class EGLD3D8ColorStream final : public EGLD3D8VertexStream<EGLD3D8ColorVertex>
{
public:
    /// vertexCount >= 0 vertices; no buffer until the library creates it.
    EGLD3D8ColorStream(EGLD3D8Wrapper* wrapper, std::int32_t vertexCount);
    /// A new colour stream with the same wrapper and vertex count.
    EGLD3D8ColorStream* clone() const override;
};

/// Vertex format 2: position, colour and texture address.
class EGLD3D8TextureStream final : public EGLD3D8VertexStream<EGLD3D8TextureVertex>
{
public:
    /// vertexCount >= 0 vertices; no buffer until the library creates it.
    EGLD3D8TextureStream(EGLD3D8Wrapper* wrapper, std::int32_t vertexCount);
    /// A new texture stream with the same wrapper and vertex count.
    EGLD3D8TextureStream* clone() const override;
};

/// A colour or texture stream with 16-bit indices; vertex operations go to the inner stream it owns.
class EGLD3D8IndexStream final : public EGLD3D8Stream
{
public:
    /// Owns a clone of the stream (whose keys become this stream) and indexCount >= 0 indices of value 0.
    EGLD3D8IndexStream(EGLD3D8Wrapper* wrapper, const EGLD3D8Stream& stream, std::int32_t indexCount);
    /// Requires no index buffer and no open change.
    ~EGLD3D8IndexStream() noexcept(false) override;
    /// Not supported: throws the Error "Value semantics not implemeted.".
    EGLD3D8IndexStream(const EGLD3D8IndexStream& other);
    /// Not supported: throws the Error "Value semantics not implemeted.".
    EGLD3D8IndexStream& operator=(const EGLD3D8IndexStream& other);

    void setAddresses(std::int32_t first, EGLRange range, const std::vector<EGLVector>& addresses) override;
    void setColors(std::int32_t first, EGLRange range, const std::vector<std::uint32_t>& colors) override;
    /// Keeps the low 16 bits of each value.
    void setIndices(std::int32_t first, EGLRange range, const std::vector<std::int32_t>& indices) override;
    void setPositions(std::int32_t first, EGLRange range, const std::vector<EGLVector>& positions) override;
    void addresses(EGLRange range, std::vector<EGLVector>& addresses) const override;
    void colors(EGLRange range, std::vector<std::uint32_t>& colors) const override;
    std::int32_t indexCount() const override;
    /// Each index sign-extended from 16 bits.
    void indices(EGLRange range, std::vector<std::int32_t>& indices) const override;
    bool isIndexed() const override;
    void positions(EGLRange range, std::vector<EGLVector>& positions) const override;
    /// Draws indices range.first .. with the current primitive type; not while changing.
    void draw(EGLRange range) override;
    std::int32_t vertexCount() const override;
    std::int32_t vertexFormat() const override;

    void beginChange(EGLKey changeKey) override;
    void endChange(EGLKey changeKey) override;
    void commitChange(EGLKey changeKey) override;
    void createResource(EGLKey resourceKey) override;
    void releaseResource(EGLKey resourceKey) override;
    void switchOn(EGLKey switchKey) override;
    void switchOff(EGLKey switchKey) override;
    /// Throws the Error "Index stream cloning not implemented.".
    EGLD3D8IndexStream* clone() const override;

    /// True while the index buffer exists.
    bool d3D8IndexBufferIsOpen() const;
    /// A valid change count and an inner stream.
    bool invariant() const;

private:
    std::vector<std::uint16_t> mIndices;
    EGLD3D8Stream* mStream;
    EGLD3D8Wrapper* mWrapper;
    IDirect3DIndexBuffer8* mIndexBuffer;
};
