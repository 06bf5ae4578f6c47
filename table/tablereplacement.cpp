#include "table/tablereplacement.h"

#include "records/error.h"
#include "table/dbftable.h"
#include "table/fileerrors.h"
#include "table/filecopy.h"

namespace zent5 {

namespace {

// The folder part of a path with its trailing '/', and the name after it.
void splitPath(const std::string& path, std::string& folder, std::string& name)
{
    const size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

void closeQuietly(DbfTable& table)
{
    try {
        table.Close();
    } catch (const Error&) {
        // The new file is dropped anyway.
    }
}

} // namespace

TableReplacement::TableReplacement(std::string target) : m_target(std::move(target)) {}

TableReplacement::~TableReplacement()
{
    if (m_open)
        closeQuietly(*m_open);
}

void TableReplacement::lockTarget()
{
    if (!fileio::exists(m_target))
        return;
    int error = 0;
    if (!m_lock.open(m_target, fileio::OpenMode::ReadOnly, error) || !m_lock.lockExclusive(error)) {
        m_lock.close();
        throw Error(fileerrors::cannotOpen(m_target, error));
    }
}

void TableReplacement::reserve()
{
    int error = 0;
    if (!m_file.begin(m_target, error))
        throw Error(fileerrors::cannotCreate(m_target, error));
    m_reserved = true;
}

void TableReplacement::aimAtNewFile(DbfTable& table) const
{
    std::string folder, name;
    splitPath(m_file.path(), folder, name);
    table.Close();
    table.setFilePath(folder);
    table.setTableName(name);
}

void TableReplacement::openEmpty(DbfTable& table)
{
    if (!m_reserved)
        reserve();
    aimAtNewFile(table);
    table.CreateNew();
    table.Open();
    m_open = &table;
}

void TableReplacement::openCopy(DbfTable& table)
{
    if (!m_reserved)
        reserve();
    fileio::File from, to;
    int error = 0;
    if (!from.open(m_target, fileio::OpenMode::ReadOnly, error))
        throw Error(fileerrors::cannotOpen(m_target, error));
    if (!to.open(m_file.path(), fileio::OpenMode::Existing, error))
        throw Error(fileerrors::cannotCreate(m_target, error));
    copyFileBytes(from, m_target, to);
    to.close();
    aimAtNewFile(table);
    table.Open();
    m_open = &table;
}

void TableReplacement::commit(DbfTable& table)
{
    if (m_open) {
        m_open = nullptr;
        table.Close();
    }
    int error = 0;
    if (!m_file.commit(error))
        throw Error(fileerrors::kWriteFailed);
    m_lock.close();
    std::string folder, name;
    splitPath(m_target, folder, name);
    table.setFilePath(folder);
    table.setTableName(name);
}

} // namespace zent5
