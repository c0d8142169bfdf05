#pragma once
// One object of T per thread, made on its first use: scratch space that a
// parser reuses instead of allocating for every number.
//
// MinGW-w64 runs the destructors of thread_local objects after it has freed
// their storage when a thread ends, which crashes a static build (the
// read-ahead thread of every count). There each thread's object is left to
// the process instead; the threads there are few and end with the program.

namespace tessivo {

template <class T>
T& threadScratch()
{
#if defined(_WIN32)
    thread_local T* object = nullptr; // trivially destructible: nothing runs at the thread's end
    if (object == nullptr)
        object = new T();
    return *object;
#else
    thread_local T object;
    return object;
#endif
}

} // namespace tessivo
