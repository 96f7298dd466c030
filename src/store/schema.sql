-- The library: categories, their subsections, one index row per template and one block row per
-- component. Keys only ever grow and are never reused; whole-number columns hold the ranges of
-- the values they stand for, so the engine refuses what does not fit.
create table Category (
    CategoryID integer primary key autoincrement,
    Name text
) strict;

create table SubSection (
    SubsectID integer primary key autoincrement,
    CategoryID integer check (CategoryID between -2147483648 and 2147483647),
    Name text
) strict;

create table TemplateIndex (
    TempIndexID integer primary key autoincrement,
    BlockCount integer check (BlockCount between -2147483648 and 2147483647),
    CategoryID integer check (CategoryID between -2147483648 and 2147483647),
    SubsectID integer check (SubsectID between -2147483648 and 2147483647),
    Description text
) strict;

create table TemplateBlocks (
    TempBlockID integer primary key autoincrement,
    ItemID integer check (ItemID between -2147483648 and 2147483647),
    X integer check (X between -32768 and 32767),
    Y integer check (Y between -32768 and 32767),
    Z integer check (Z between -32768 and 32767),
    Flag integer check (Flag between -32768 and 32767),
    TempIndexID integer check (TempIndexID between -2147483648 and 2147483647)
) strict;

create index TemplateBlocksByTemplate on TemplateBlocks (TempIndexID);
create index TemplateIndexByCategory on TemplateIndex (CategoryID);
create index SubSectionByCategory on SubSection (CategoryID);
