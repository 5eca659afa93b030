#include "testenvironment.h"

#include "common/timetexts.h"
#include "divecore/gas.h"
#include "divemodel/divegas.h"

#include <QFile>

#include <cxxabi.h>
#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstdlib>
#include <cstring>

// libCordale compiles its own copy of the gas library, the dive model core and
// the time helpers. These tests read the library's symbol tables to show that
// the copy is there, is private to the library (but for the gas library,
// which it exports), and is not the program's.

namespace {

struct ElfSymbol
{
    QByteArray name; // demangled
    quint64 value = 0;
    bool defined = false;
    bool local = false;
};

struct ElfImage
{
    QList<ElfSymbol> dynamicSymbols;
    QList<ElfSymbol> staticSymbols; // empty when the library is stripped
    QList<QByteArray> needed;
};

QByteArray demangled(const char* name)
{
    int status = 0;
    char* text = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    const QByteArray result = status == 0 && text ? QByteArray(text) : QByteArray(name);
    std::free(text);
    return result;
}

template<typename T>
const T* at(const QByteArray& file, quint64 offset)
{
    return offset + sizeof(T) <= quint64(file.size()) ? reinterpret_cast<const T*>(file.constData() + offset) : nullptr;
}

const char* stringAt(const QByteArray& file, const Elf64_Shdr& strings, quint64 index)
{
    return index < strings.sh_size ? file.constData() + strings.sh_offset + index : "";
}

QList<ElfSymbol> symbolsOf(const QByteArray& file, const Elf64_Shdr* sections, const Elf64_Shdr& table)
{
    QList<ElfSymbol> symbols;
    const Elf64_Shdr& strings = sections[table.sh_link];
    for (quint64 offset = table.sh_offset; offset + sizeof(Elf64_Sym) <= table.sh_offset + table.sh_size;
         offset += sizeof(Elf64_Sym)) {
        const auto* symbol = at<Elf64_Sym>(file, offset);
        if (!symbol || symbol->st_name == 0)
            continue;
        symbols.append({demangled(stringAt(file, strings, symbol->st_name)), symbol->st_value,
                        symbol->st_shndx != SHN_UNDEF, ELF64_ST_BIND(symbol->st_info) == STB_LOCAL});
    }
    return symbols;
}

ElfImage readElf(const QString& path)
{
    ElfImage image;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return image;
    const QByteArray bytes = file.readAll();
    const auto* header = at<Elf64_Ehdr>(bytes, 0);
    if (!header || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 || header->e_ident[EI_CLASS] != ELFCLASS64)
        return image;
    if (!at<Elf64_Shdr>(bytes, header->e_shoff + quint64(header->e_shnum - 1) * sizeof(Elf64_Shdr)))
        return image;
    const auto* sections = reinterpret_cast<const Elf64_Shdr*>(bytes.constData() + header->e_shoff);
    for (int i = 0; i < header->e_shnum; ++i) {
        const Elf64_Shdr& section = sections[i];
        if (section.sh_type == SHT_DYNSYM)
            image.dynamicSymbols = symbolsOf(bytes, sections, section);
        else if (section.sh_type == SHT_SYMTAB)
            image.staticSymbols = symbolsOf(bytes, sections, section);
        else if (section.sh_type == SHT_DYNAMIC) {
            for (quint64 offset = section.sh_offset; offset + sizeof(Elf64_Dyn) <= section.sh_offset + section.sh_size;
                 offset += sizeof(Elf64_Dyn)) {
                const auto* entry = at<Elf64_Dyn>(bytes, offset);
                if (entry && entry->d_tag == DT_NEEDED)
                    image.needed << stringAt(bytes, sections[section.sh_link], entry->d_un.d_val);
            }
        }
    }
    return image;
}

// Names of what the program and the library each build from the shared sources.
bool isSharedSourceSymbol(QByteArray name)
{
    for (const char* prefix : {"typeinfo name for ", "typeinfo for ", "vtable for ", "guard variable for "}) {
        if (name.startsWith(prefix))
            name = name.mid(qsizetype(std::strlen(prefix)));
    }
    static const char* const shared[] = {
        "divecore::", "Dive::", "DiveAnalysis::", "DiveHeader::", "DiveLine::", "DiveGas::", "DivePosition::", "CeilPoint::",
        "diveGasAir", "formatTimeSecondes", "formatTimeMinutes", "qtimeFromSecondes",
        "minutesDecimals", "formatMinutesDecimals", "formatChrono", "writeTextFile", "loadTextFile",
        "absoluteFilePath", "getApplicationVersion", "shortApplicationVersion", "applicationWindowTitle"};
    for (const char* prefix : shared) {
        if (name.startsWith(prefix))
            return true;
    }
    return false;
}

bool isGasLibrarySymbol(const QByteArray& name)
{
    return name.startsWith("divecore::") || name.startsWith("typeinfo for divecore::")
        || name.startsWith("typeinfo name for divecore::");
}

const ElfSymbol* localDefinition(const ElfImage& image, const QByteArray& name)
{
    for (const ElfSymbol& symbol : image.staticSymbols) {
        if (symbol.name == name && symbol.defined)
            return &symbol;
    }
    return nullptr;
}

} // namespace

class CordaleCopiesTest : public QObject
{
    Q_OBJECT

private:
    ElfImage mImage;
    void* mLibrary = nullptr;
    quintptr mLoadBase = 0;

    template<typename T>
    const T* libraryCopy(const QByteArray& name) const
    {
        const ElfSymbol* symbol = localDefinition(mImage, name);
        return symbol ? reinterpret_cast<const T*>(mLoadBase + symbol->value) : nullptr;
    }

private slots:
    void initTestCase()
    {
        mImage = readElf(QStringLiteral(CORDALE_LIBRARY_PATH));
        QVERIFY2(!mImage.dynamicSymbols.isEmpty(), CORDALE_LIBRARY_PATH " has no dynamic symbol table");
        mLibrary = dlopen(CORDALE_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(mLibrary, dlerror());
        link_map* map = nullptr;
        QCOMPARE(dlinfo(mLibrary, RTLD_DI_LINKMAP, &map), 0);
        mLoadBase = quintptr(map->l_addr);
    }

    void cleanupTestCase()
    {
        if (mLibrary)
            dlclose(mLibrary);
    }

    // Neither exported (the program could bind to the library's copy) nor
    // imported (the library would bind to someone else's). The gas library
    // is part of the library's interface: exported, never imported.
    void sharedSourcesStayPrivate()
    {
        QStringList leaked;
        for (const ElfSymbol& symbol : mImage.dynamicSymbols) {
            if (!isSharedSourceSymbol(symbol.name) || (symbol.defined && isGasLibrarySymbol(symbol.name)))
                continue;
            leaked << QString::fromLatin1(symbol.name) + (symbol.defined ? " (exported)" : " (imported)");
        }
        QVERIFY2(leaked.isEmpty(), qPrintable(leaked.join(QLatin1String(", "))));
    }

    void libraryHoldsItsOwnCopy()
    {
        if (mImage.staticSymbols.isEmpty())
            QSKIP("the library is stripped");
        const auto* air = libraryCopy<divecore::Gas>("divecore::Gas::air");
        const auto* diveAir = libraryCopy<DiveGas>("diveGasAir");
        const auto formatTime = reinterpret_cast<QString (*)(qint64)>(
            const_cast<void*>(static_cast<const void*>(libraryCopy<char>("formatTimeSecondes(long long)"))));
        QVERIFY(air && diveAir && formatTime);

        // Another object than the program's, holding the same value.
        QVERIFY(air != &divecore::Gas::air);
        QCOMPARE(air->fO2, 0.21f);
        QCOMPARE(air->fN2, 0.79f);
        QVERIFY(diveAir != &diveGasAir);
        QCOMPARE(diveAir->fO2, 0.21f);
        QCOMPARE(diveAir->color, 0xffffffu);

        // Another function than the program's, doing the same job.
        QVERIFY(reinterpret_cast<quintptr>(formatTime) != reinterpret_cast<quintptr>(&formatTimeSecondes));
        QCOMPARE(formatTime(3600), QStringLiteral("01:00:00"));
    }

    void linksQtOnly()
    {
        QVERIFY(!mImage.needed.isEmpty());
        for (const QByteArray& library : mImage.needed)
            QVERIFY2(!library.contains("pugixml") && !library.contains("minizip"), library.constData());
    }
};

MAREVANE_TEST_MAIN(CordaleCopiesTest)
#include "tst_cordalecopies.moc"
