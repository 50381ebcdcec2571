#pragma once
// The container family for the growing collections: an intrusive doubly
// linked list that owns its nodes, and a chunked array built on it whose
// elements never move once made, walked by a cursor.
#include <cstdint>
#include <memory>

// Base of every list node; T is the derived node class. Nodes are destroyed
// through the virtual destructor so a derived node's clean-up runs.
template <class T>
class DNode {
public:
    DNode() = default;
    DNode(const DNode&) = delete;
    DNode& operator=(const DNode&) = delete;
    virtual ~DNode() = default;

    T* next = nullptr;
    T* prev = nullptr;
};

// A list that owns its nodes: clear() and the destructor destroy them.
template <class T>
class DList {
public:
    DList() = default;
    DList(const DList&) = delete;
    DList& operator=(const DList&) = delete;
    ~DList() { clear(); }

    // Takes ownership of the node and links it after the tail.
    void append(T* node) {
        if (!node) return;
        node->prev = tail;
        node->next = nullptr;
        if (tail)
            tail->next = node;
        else
            head = node;
        tail = node;
    }

    T* append(std::unique_ptr<T> node) {
        T* raw = node.release();
        append(raw);
        return raw;
    }

    void clear() {
        T* node = head;
        head = tail = nullptr;
        while (node) {
            T* following = node->next;
            // The list is the owner; nodes only ever reach it as owned pointers.
            delete node;
            node = following;
        }
    }

    // Unlinks without destroying: the caller takes the node back. Its own
    // links are left as they were.
    void remove(T* node) {
        if (!node) return;
        if (node->prev)
            node->prev->next = node->next;
        else if (head == node)
            head = node->next;
        if (node->next)
            node->next->prev = node->prev;
        else if (tail == node)
            tail = node->prev;
    }

    T* head = nullptr;
    T* tail = nullptr;
};

// One chunk of a VArray: all chunk-size slots are made when the chunk is
// and destroyed with it, used or not.
template <class T>
class VArrayNode : public DNode<VArrayNode<T>> {
public:
    VArrayNode(std::uint32_t firstIndex, std::uint32_t chunkSize)
        : first(firstIndex), data(std::make_unique<T[]>(chunkSize)) {}
    ~VArrayNode() override = default;

    std::uint32_t first;
    std::uint32_t count = 0;
    std::unique_ptr<T[]> data;
};

template <class T>
class VArray : public DList<VArrayNode<T>> {
public:
    using Node = VArrayNode<T>;

    // A chunk size of 0 would give chunks without room for their element.
    explicit VArray(std::uint32_t chunk) : chunkSize(chunk ? chunk : 1) {}

    // A default-constructed slot at the end; the caller fills it in place.
    T* newElement() {
        if (!this->tail) this->append(std::make_unique<Node>(0, chunkSize));
        Node* node = this->tail;
        ++node->count;
        if (node->count > chunkSize) {
            node->count = chunkSize;
            node = this->append(std::make_unique<Node>(node->first + chunkSize, chunkSize));
            node->count = 1;
        }
        return &node->data[node->count - 1];
    }

    const std::uint32_t chunkSize;
};

// A cursor over one array; owns nothing and is invalid once the array is
// cleared.
template <class T>
class VArrayIter {
public:
    using Node = VArrayNode<T>;

    explicit VArrayIter(VArray<T>& a) : array(&a) {}

    T* first() {
        node = array->head;
        index = 0;
        return node ? &node->data[0] : nullptr;
    }

    T* last() {
        node = array->tail;
        if (!node) {
            index = 0;
            return nullptr;
        }
        index = node->first + node->count - 1;
        return &node->data[node->count - 1];
    }

    T* current() const { return node ? &node->data[index - node->first] : nullptr; }

    // False when the new position does not exist; the cursor then stands on
    // the last element.
    bool advance(std::uint32_t n) {
        if (!node) {
            last();
            return false;
        }
        // 64 bits so that a large n cannot wrap back into the array.
        std::uint64_t k = std::uint64_t(index - node->first) + n;
        while (node && k >= node->count) {
            k -= node->count;
            node = node->next;
        }
        if (!node) {
            last();
            return false;
        }
        index = node->first + std::uint32_t(k);
        return true;
    }

    // False when the new position does not exist; the cursor then stands on
    // the first element.
    bool retreat(std::uint32_t n) {
        if (!node) {
            first();
            return false;
        }
        std::uint32_t k = index - node->first;
        if (n <= k) {
            index -= n;
            return true;
        }
        std::uint32_t r = n - k;
        node = node->prev;
        while (node && r > node->count) {
            r -= node->count;
            node = node->prev;
        }
        if (!node) {
            first();
            return false;
        }
        index -= n;
        return true;
    }

    VArray<T>* array;
    Node* node = nullptr;
    std::uint32_t index = 0;
};
