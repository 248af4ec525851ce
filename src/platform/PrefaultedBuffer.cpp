#include "PrefaultedBuffer.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

PrefaultedBuffer::PrefaultedBuffer(std::size_t size) : m_size(size)
{
    void *p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    m_mapped = p != MAP_FAILED;
    // Without a map (a limit on them), plain memory: slower to touch, as good to use.
    m_data = static_cast<char *>(m_mapped ? p : std::malloc(size));
    if (!m_data)
        throw std::bad_alloc();
}

PrefaultedBuffer::~PrefaultedBuffer()
{
    if (m_mapped)
        ::munmap(m_data, m_size);
    else
        std::free(m_data);
}
