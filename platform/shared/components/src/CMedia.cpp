#include "CMedia.h"

#include "CAssert.h"
#include "CBinary.h"
#include "CInputStream.h"
#include "CMemory.h"
#include "CVorbisDecoder.h"

bool CMedia::Load(CBinary& binary, CInputStream& stream, uint32_t typeKey) {
    const uint32_t size = stream.Available();
    binary.Clear();
    if (size == 0) return false;
    if (typeKey == kOggVorbisType) return LoadOggVorbis(binary, stream, size);
    return binary.Load(stream, typeKey);
}

bool CMedia::LoadOggVorbis(CBinary& binary, CInputStream& stream, uint32_t size) {
    uint8_t* image = static_cast<uint8_t*>(MemAllocArray(size));
    if (image == nullptr) {
        DebugPrintf("CMedia: no memory for a %u-byte Ogg Vorbis sound\n", size);
        return false;
    }
    stream.Read(image, size);
    uint8_t* pcm = nullptr;
    uint32_t pcmSize = 0;
    const bool decoded = !stream.HasError() && CVorbisDecoder::DecodeToPcm(image, size, &pcm, &pcmSize, true);
    MemFreeArray(image);
    if (decoded) binary.Adopt(pcm, pcmSize, kRawPcmType);
    return decoded;
}
