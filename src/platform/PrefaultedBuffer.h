#pragma once
#include <cstddef>

// A buffer whose pages are all made at once, when it is made: a first touch of
// each page, one fault at a time, costs far more (on virtual machines most of
// all) than the kernel filling them in one call.
class PrefaultedBuffer
{
public:
    explicit PrefaultedBuffer(std::size_t size);
    ~PrefaultedBuffer();
    PrefaultedBuffer(const PrefaultedBuffer &) = delete;
    PrefaultedBuffer &operator=(const PrefaultedBuffer &) = delete;

    char *data() { return m_data; }
    const char *constData() const { return m_data; }

private:
    char *m_data = nullptr;
    std::size_t m_size = 0;
    bool m_mapped = false;
};
