#include "egl/egld3d8stream.h"

#include "foundation/dbg.h"

#include <cstring>
#include <new>

static_assert(sizeof(EGLD3D8ColorVertex) == 16, "colour vertices are packed as the device reads them");
static_assert(sizeof(EGLD3D8TextureVertex) == 24, "texture vertices are packed as the device reads them");

bool isValidRange(EGLRange range, std::int64_t elementCount)
{
    return 0 <= range.first && 0 <= range.count && static_cast<std::int64_t>(range.first) + range.count <= elementCount;
}

namespace
{

// Writes source[range.first ..] into elements[first ..]; both runs must lie inside their vectors.
template <class Source, class Element, class Write>
void copyIn(std::int32_t first, EGLRange range, const std::vector<Source>& source, std::vector<Element>& elements,
            Write write)
{
    const bool sourceIsInside = isValidRange(range, static_cast<std::int64_t>(source.size()));
    DBG_ASSERT("Valid source range." && sourceIsInside);
    const bool destinationIsInside =
        isValidRange(EGLRange{first, range.count}, static_cast<std::int64_t>(elements.size()));
    DBG_ASSERT("Valid destination range." && destinationIsInside);
    for (std::int32_t i = 0; i < range.count; ++i)
        write(elements[first + i], source[range.first + i]);
}

// Resizes output to range.count and reads it from elements[range.first ..], which must lie inside.
template <class Result, class Element, class Read>
void copyOut(EGLRange range, const std::vector<Element>& elements, std::vector<Result>& output, Read read)
{
    const bool rangeIsInside = isValidRange(range, static_cast<std::int64_t>(elements.size()));
    DBG_ASSERT("Valid range." && rangeIsInside);
    output.resize(static_cast<std::size_t>(range.count));
    for (std::int32_t i = 0; i < range.count; ++i)
        output[i] = read(elements[range.first + i]);
}

// Copies the bytes into the whole of a locked buffer; a buffer that does not lock is left as it was.
template <class Buffer>
void copyToBuffer(Buffer* buffer, const void* data, std::size_t byteCount)
{
    BYTE* bufferData = nullptr;
    if (D3D_OK == buffer->Lock(0, static_cast<UINT>(byteCount), &bufferData, 0) && bufferData)
        std::memcpy(bufferData, data, byteCount);
    buffer->Unlock();
}

} // namespace

template <class Vertex>
EGLD3D8VertexStream<Vertex>::EGLD3D8VertexStream(EGLD3D8Wrapper* wrapper, std::int32_t vertexCount)
    : mVertices(), mWrapper(wrapper), mVertexBuffer(nullptr)
{
    DBG_ASSERT("Valid vertex count." && (0 <= vertexCount));
    mVertices.resize(static_cast<std::size_t>(vertexCount), Vertex{});
}

template <class Vertex>
EGLD3D8VertexStream<Vertex>::~EGLD3D8VertexStream() noexcept(false) = default;

template <class Vertex>
EGLD3D8VertexStream<Vertex>::EGLD3D8VertexStream(const EGLD3D8VertexStream&)
    : EGLD3D8Stream(), mVertices(), mWrapper(nullptr), mVertexBuffer(nullptr)
{
    DBG_ERROR("Value semantics not implemented.");
}

template <class Vertex>
EGLD3D8VertexStream<Vertex>& EGLD3D8VertexStream<Vertex>::operator=(const EGLD3D8VertexStream&)
{
    DBG_ERROR("Value semantics not implemented.");
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::setAddresses(std::int32_t first, EGLRange range,
                                               const std::vector<EGLVector>& addresses)
{
    if constexpr (EGL::TEXTURE_VERTICES == Vertex::FORMAT)
        copyIn(first, range, addresses, mVertices,
               [](Vertex& vertex, const EGLVector& address)
               {
                   vertex.u = address.x;
                   vertex.v = address.y;
               });
    else
        DBG_ERROR("Vertex format has no adresses.");
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::setColors(std::int32_t first, EGLRange range,
                                            const std::vector<std::uint32_t>& colors)
{
    copyIn(first, range, colors, mVertices, [](Vertex& vertex, std::uint32_t color) { vertex.color = color; });
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::setIndices(std::int32_t, EGLRange, const std::vector<std::int32_t>&)
{
    DBG_ERROR("Vertex format has no indices.");
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::setPositions(std::int32_t first, EGLRange range,
                                               const std::vector<EGLVector>& positions)
{
    copyIn(first, range, positions, mVertices,
           [](Vertex& vertex, const EGLVector& position)
           {
               vertex.x = position.x;
               vertex.y = position.y;
           });
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::addresses(EGLRange range, std::vector<EGLVector>& addresses) const
{
    if constexpr (EGL::TEXTURE_VERTICES == Vertex::FORMAT)
        copyOut(range, mVertices, addresses, [](const Vertex& vertex) { return EGLVector{vertex.u, vertex.v}; });
    else
        DBG_ERROR("Vertex format has no adresses.");
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::colors(EGLRange range, std::vector<std::uint32_t>& colors) const
{
    copyOut(range, mVertices, colors, [](const Vertex& vertex) { return vertex.color; });
}

template <class Vertex>
std::int32_t EGLD3D8VertexStream<Vertex>::indexCount() const
{
    return 0;
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::indices(EGLRange, std::vector<std::int32_t>&) const
{
    DBG_ERROR("Vertex format has no indices.");
}

template <class Vertex>
bool EGLD3D8VertexStream<Vertex>::isIndexed() const
{
    return false;
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::positions(EGLRange range, std::vector<EGLVector>& positions) const
{
    copyOut(range, mVertices, positions, [](const Vertex& vertex) { return EGLVector{vertex.x, vertex.y}; });
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::draw(EGLRange range)
{
    const bool rangeIsInside = isValidRange(range, vertexCount());
    DBG_ASSERT("Valid range." && rangeIsInside);
    // Too few vertices for one primitive draw nothing (the count must not wrap to a huge unsigned value).
    const std::int32_t primitiveCount = mWrapper->primitiveCount(range.count);
    if (0 < primitiveCount)
        mWrapper->DrawPrimitive(static_cast<UINT>(range.first), static_cast<UINT>(primitiveCount));
}

template <class Vertex>
std::int32_t EGLD3D8VertexStream<Vertex>::vertexCount() const
{
    return static_cast<std::int32_t>(mVertices.size());
}

template <class Vertex>
std::int32_t EGLD3D8VertexStream<Vertex>::vertexFormat() const
{
    return Vertex::FORMAT;
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::commitChange(EGLKey)
{
    if (mVertexBuffer)
        copyToBuffer(mVertexBuffer, mVertices.data(), mVertices.size() * sizeof(Vertex));
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::createResource(EGLKey)
{
    // Not examined: a stream of 0 vertices gets no buffer and draws nothing.
    mVertexBuffer = nullptr;
    if (D3D_OK != mWrapper->CreateVertexBuffer(static_cast<UINT>(mVertices.size() * sizeof(Vertex)), D3DUSAGE_WRITEONLY,
                                               Vertex::FVF, D3DPOOL_MANAGED, &mVertexBuffer))
        mVertexBuffer = nullptr;
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::releaseResource(EGLKey)
{
    if (mVertexBuffer)
        mVertexBuffer->Release();
    mVertexBuffer = nullptr;
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::switchOn(EGLKey)
{
    mWrapper->SetStreamSource(0, mVertexBuffer, sizeof(Vertex));
    mWrapper->SetVertexShader(Vertex::FVF);
}

template <class Vertex>
void EGLD3D8VertexStream<Vertex>::switchOff(EGLKey)
{
    mWrapper->SetStreamSource(0, nullptr, 0);
    mWrapper->SetIndices(nullptr, 0);
}

template <class Vertex>
bool EGLD3D8VertexStream<Vertex>::d3D8VertexBufferIsOpen() const
{
    return nullptr != mVertexBuffer;
}

template class EGLD3D8VertexStream<EGLD3D8ColorVertex>;
template class EGLD3D8VertexStream<EGLD3D8TextureVertex>;

EGLD3D8ColorStream::EGLD3D8ColorStream(EGLD3D8Wrapper* wrapper, std::int32_t vertexCount)
    : EGLD3D8VertexStream(wrapper, vertexCount)
{
}

EGLD3D8ColorStream* EGLD3D8ColorStream::clone() const
{
    EGLD3D8ColorStream* stream = new (std::nothrow) EGLD3D8ColorStream(wrapper(), vertexCount());
    DBG_ASSERT("Stream cloned successfully." && stream);
    return stream;
}

EGLD3D8TextureStream::EGLD3D8TextureStream(EGLD3D8Wrapper* wrapper, std::int32_t vertexCount)
    : EGLD3D8VertexStream(wrapper, vertexCount)
{
}

EGLD3D8TextureStream* EGLD3D8TextureStream::clone() const
{
    EGLD3D8TextureStream* stream = new (std::nothrow) EGLD3D8TextureStream(wrapper(), vertexCount());
    DBG_ASSERT("Stream cloned successfully." && stream);
    return stream;
}

EGLD3D8IndexStream::EGLD3D8IndexStream(EGLD3D8Wrapper* wrapper, const EGLD3D8Stream& stream, std::int32_t indexCount)
    : mIndices(), mStream(nullptr), mWrapper(wrapper), mIndexBuffer(nullptr)
{
    DBG_ASSERT("Valid index count." && (0 <= indexCount));
    mStream = stream.clone();
    // The inner stream takes orders from this stream alone.
    mStream->setChangeKey(nullptr, this);
    mStream->setResourceKey(nullptr, this);
    mStream->setSwitchKey(nullptr, this);
    mIndices.resize(static_cast<std::size_t>(indexCount), 0);
}

EGLD3D8IndexStream::~EGLD3D8IndexStream() noexcept(false)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(!d3D8IndexBufferIsOpen());
    DBG_ASSERT(!isChanging());
    delete mStream;
}

EGLD3D8IndexStream::EGLD3D8IndexStream(const EGLD3D8IndexStream&)
    : EGLD3D8Stream(), mIndices(), mStream(nullptr), mWrapper(nullptr), mIndexBuffer(nullptr)
{
    DBG_ERROR("Value semantics not implemeted.");
}

EGLD3D8IndexStream& EGLD3D8IndexStream::operator=(const EGLD3D8IndexStream&)
{
    DBG_ERROR("Value semantics not implemeted.");
}

void EGLD3D8IndexStream::setAddresses(std::int32_t first, EGLRange range, const std::vector<EGLVector>& addresses)
{
    mStream->setAddresses(first, range, addresses);
}

void EGLD3D8IndexStream::setColors(std::int32_t first, EGLRange range, const std::vector<std::uint32_t>& colors)
{
    mStream->setColors(first, range, colors);
}

void EGLD3D8IndexStream::setIndices(std::int32_t first, EGLRange range, const std::vector<std::int32_t>& indices)
{
    copyIn(first, range, indices, mIndices,
           [](std::uint16_t& index, std::int32_t value) { index = static_cast<std::uint16_t>(value); });
}

void EGLD3D8IndexStream::setPositions(std::int32_t first, EGLRange range, const std::vector<EGLVector>& positions)
{
    mStream->setPositions(first, range, positions);
}

void EGLD3D8IndexStream::addresses(EGLRange range, std::vector<EGLVector>& addresses) const
{
    mStream->addresses(range, addresses);
}

void EGLD3D8IndexStream::colors(EGLRange range, std::vector<std::uint32_t>& colors) const
{
    mStream->colors(range, colors);
}

std::int32_t EGLD3D8IndexStream::indexCount() const
{
    return static_cast<std::int32_t>(mIndices.size());
}

void EGLD3D8IndexStream::indices(EGLRange range, std::vector<std::int32_t>& indices) const
{
    copyOut(range, mIndices, indices,
            [](std::uint16_t index) { return std::int32_t{static_cast<std::int16_t>(index)}; });
}

bool EGLD3D8IndexStream::isIndexed() const
{
    return true;
}

void EGLD3D8IndexStream::positions(EGLRange range, std::vector<EGLVector>& positions) const
{
    mStream->positions(range, positions);
}

void EGLD3D8IndexStream::draw(EGLRange range)
{
    DBG_ASSERT(!isChanging());
    const bool rangeIsInside = isValidRange(range, indexCount());
    DBG_ASSERT("Valid range." && rangeIsInside);
    const std::int32_t primitiveCount = mWrapper->primitiveCount(range.count);
    if (0 < primitiveCount)
        mWrapper->DrawIndexedPrimitive(0, static_cast<UINT>(mStream->vertexCount()), static_cast<UINT>(range.first),
                                       static_cast<UINT>(primitiveCount));
}

std::int32_t EGLD3D8IndexStream::vertexCount() const
{
    return mStream->vertexCount();
}

std::int32_t EGLD3D8IndexStream::vertexFormat() const
{
    return mStream->vertexFormat();
}

void EGLD3D8IndexStream::beginChange(EGLKey changeKey)
{
    EGLD3D8Stream::beginChange(changeKey);
    mStream->beginChange(this);
}

void EGLD3D8IndexStream::endChange(EGLKey changeKey)
{
    mStream->endChange(this);
    EGLD3D8Stream::endChange(changeKey);
}

void EGLD3D8IndexStream::commitChange(EGLKey)
{
    mStream->commitChange(this);
    if (mIndexBuffer)
        copyToBuffer(mIndexBuffer, mIndices.data(), mIndices.size() * sizeof(std::uint16_t));
}

void EGLD3D8IndexStream::createResource(EGLKey)
{
    mStream->createResource(this);
    const HRESULT result =
        mWrapper->CreateIndexBuffer(static_cast<UINT>(mIndices.size() * sizeof(std::uint16_t)), D3DUSAGE_WRITEONLY,
                                    D3DFMT_INDEX16, D3DPOOL_MANAGED, &mIndexBuffer);
    if (D3D_OK != result)
        mIndexBuffer = nullptr;
    DBG_ASSERT("D3D index buffer created successfully." && (D3D_OK == result));
}

void EGLD3D8IndexStream::releaseResource(EGLKey)
{
    mStream->releaseResource(this);
    if (mIndexBuffer)
        mIndexBuffer->Release();
    mIndexBuffer = nullptr;
}

void EGLD3D8IndexStream::switchOn(EGLKey)
{
    mStream->switchOn(this);
    mWrapper->SetIndices(mIndexBuffer, 0);
}

void EGLD3D8IndexStream::switchOff(EGLKey)
{
    mStream->switchOff(this);
    mWrapper->SetStreamSource(0, nullptr, 0);
    mWrapper->SetIndices(nullptr, 0);
}

EGLD3D8IndexStream* EGLD3D8IndexStream::clone() const
{
    DBG_ERROR("Index stream cloning not implemented.");
}

bool EGLD3D8IndexStream::d3D8IndexBufferIsOpen() const
{
    return nullptr != mIndexBuffer;
}

bool EGLD3D8IndexStream::invariant() const
{
    return changeCountIsValid() && nullptr != mStream;
}
