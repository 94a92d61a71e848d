#ifndef CLINKLIST_H
#define CLINKLIST_H

#include "EngineTypes.h"

class CLinkList;

// The link an element embeds to sit in a CLinkList. The payload is the
// object the node stands for (the node itself unless the inserter names
// another), so that a walk over the list can hand back the element.
class CLinkListNode {
public:
    CLinkListNode() = default;
    // A node destroyed while still linked leaves its list first, so the
    // list never points at freed memory.
    virtual ~CLinkListNode();

    CLinkListNode(const CLinkListNode&) = delete;
    CLinkListNode& operator=(const CLinkListNode&) = delete;

    // Leaves the owning list; nothing when the node is free.
    void Unlink();

    CLinkList* GetOwner() const { return m_owner; }
    CLinkListNode* GetNext() const { return m_next; }
    CLinkListNode* GetPrevious() const { return m_previous; }
    void* GetPayload() const { return m_payload; }

private:
    friend class CLinkList;

    CLinkList* m_owner = nullptr;
    CLinkListNode* m_next = nullptr;
    CLinkListNode* m_previous = nullptr;
    void* m_payload = nullptr;
};

// An intrusive doubly linked list. It links nodes without owning them: the
// elements live and die elsewhere.
class CLinkList {
public:
    // Negative or zero when `item` belongs before the existing node.
    typedef int32_t (*CompareFn)(CLinkListNode* existing, void* item);
    typedef bool (*PredicateFn)(CLinkListNode* node, const void* key);

    CLinkList() = default;
    // Frees every node still linked; the nodes themselves live on.
    virtual ~CLinkList();

    CLinkList(const CLinkList&) = delete;
    CLinkList& operator=(const CLinkList&) = delete;

    // A null anchor inserts at the head. A node that is already linked, or
    // an anchor from another list, is a programming error and is refused.
    void InsertBefore(CLinkListNode* anchor, CLinkListNode* node, void* payload);
    // A null anchor inserts at the tail; otherwise as InsertBefore.
    void InsertAfter(CLinkListNode* anchor, CLinkListNode* node, void* payload);
    void AddHead(CLinkListNode* node, void* payload = nullptr) { InsertBefore(m_head, node, payload); }
    void AddTail(CLinkListNode* node, void* payload = nullptr) { InsertAfter(m_tail, node, payload); }
    // Before the first node e with compare(e, item) <= 0, so a new item goes
    // in front of its equals; at the tail when there is none.
    void InsertSorted(CompareFn compare, CLinkListNode* node, void* payload);

    // Removes the node from whichever list holds it; a free node is ignored.
    void Remove(CLinkListNode* node);
    void RemoveAll();

    // From start (or the head), the first node matching key: by predicate
    // when one is given, else by payload identity. Null for a null key.
    CLinkListNode* Find(CLinkListNode* start, PredicateFn predicate, const void* key) const;

    CLinkListNode* GetHead() const { return m_head; }
    CLinkListNode* GetTail() const { return m_tail; }
    int32_t GetCount() const { return m_count; }

private:
    bool CanInsert(const CLinkListNode* anchor, const CLinkListNode* node) const;
    void Link(CLinkListNode* node, void* payload, CLinkListNode* previous, CLinkListNode* next);

    CLinkListNode* m_head = nullptr;
    CLinkListNode* m_tail = nullptr;
    int32_t m_count = 0;
};

#endif
