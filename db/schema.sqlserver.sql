-- Tables of the warehouse price lists that the quick price-list window reads and writes,
-- in SQL Server text. One statement per block, each ending with ";" at the end of a line.
-- The SQLite and PostgreSQL files beside this one are generated from it:
--     prezzolampo-demo --print-schema sqlite > db/schema.sqlite.sql
--     prezzolampo-demo --print-schema postgresql > db/schema.postgresql.sql

-- Price-list rows of the articles: one row per company, side, list, article, option,
-- warehouse and validity period.
CREATE TABLE [LI10_LISTARTIC] (
    [LI10_DITTA_CG18] [decimal](5, 0) NOT NULL,
    [LI10_FLGUSODECOR] [decimal](1, 0) NOT NULL,
    [LI10_FLGVENDACQ] [decimal](1, 0) NOT NULL,
    [LI10_INDTIPOLIS] [decimal](2, 0) NOT NULL,
    [LI10_CODART_MG66] [char](25) NOT NULL,
    [LI10_OPZIONE_MG5E] [char](20) NOT NULL,
    [LI10_DEPOS_MG58] [char](2) NOT NULL,
    [LI10_NUMLIST] [decimal](3, 0) NOT NULL,
    [LI10_DATAFINEVAL] [datetime] NOT NULL,
    [LI10_DATAINIZIOVAL] [datetime] NOT NULL,
    [LI10_FLGLIST] [decimal](1, 0) NULL,
    [LI10_PREZZO] [decimal](17, 6) NULL,
    [LI10_SC1PER] [decimal](6, 3) NULL,
    [LI10_SC2PER] [decimal](6, 3) NULL,
    [LI10_SC3PER] [decimal](6, 3) NULL,
    [LI10_SC4PER] [decimal](6, 3) NULL,
    [LI10_SC5PER] [decimal](6, 3) NULL,
    [LI10_SC6PER] [decimal](6, 3) NULL,
    [LI10_SCIMP] [decimal](14, 6) NULL,
    [LI10_MAG1PER] [decimal](6, 3) NULL,
    [LI10_MAG2PER] [decimal](6, 3) NULL,
    [LI10_MAGIMP] [decimal](14, 6) NULL,
    [LI10_PERRICDELTA] [decimal](7, 3) NULL,
    [LI10_INDRICALPR] [decimal](2, 0) NULL,
    [LI10_INDARROT] [decimal](2, 0) NULL,
    [LI10_SCAGL_MG02] [decimal](2, 0) NULL,
    [LI10_FLGPROVV] [decimal](1, 0) NULL,
    [LI10_PROVPER] [decimal](6, 3) NULL,
    [LI10_PROVIMP] [decimal](14, 6) NULL,
    [LI10_PROVVSC_PA10] [char](20) NULL,
    [LI10_DATACREAZ] [datetime] NULL,
    [LI10_DATAULTAGG] [datetime] NULL,
    [LI10_FLGVARIATO] [decimal](1, 0) NULL,
    [LI10_INDTIPOVAR] [decimal](2, 0) NULL,
    [LI10_DATASTLIS] [datetime] NULL,
    [LI10_NUMPAGST] [decimal](5, 0) NULL,
    [LI10_BVMBASE] [decimal](17, 6) NULL,
    [LI10_BVMVAR] [decimal](17, 6) NULL,
    [LI10_BVMMOLT] [decimal](10, 4) NULL,
    [LI10_FLGPERSON] [decimal](1, 0) NULL,
    [LI10_LIBEROVAL] [decimal](17, 6) NULL,
    [LI10_IDMEDIA_CG99] [decimal](12, 0) NULL,
    [LI10_INDUM] [decimal](2, 0) NULL DEFAULT (1),
    [LI10_NOTE] [varchar](40) NULL,
    [LI10_LASTCHANGE] [datetime] NULL,
    [LI10_FLGDACONF] [tinyint] NOT NULL DEFAULT ((0)),
    CONSTRAINT [PK_LI10_LISTARTIC] PRIMARY KEY ([LI10_DITTA_CG18], [LI10_FLGUSODECOR],
        [LI10_FLGVENDACQ], [LI10_INDTIPOLIS], [LI10_CODART_MG66], [LI10_OPZIONE_MG5E],
        [LI10_DEPOS_MG58], [LI10_NUMLIST], [LI10_DATAINIZIOVAL], [LI10_DATAFINEVAL])
);

-- Warehouse price-list parameters: one row per company, side (0 sales, 1 purchase) and list.
CREATE TABLE [MG44_PARMAGLIST] (
    [MG44_DITTA_CG18] [decimal](5, 0) NOT NULL,
    [MG44_FLGVENACQ] [decimal](1, 0) NOT NULL,
    [MG44_NUMLIST] [decimal](3, 0) NOT NULL,
    [MG44_DESCLIST] [varchar](40) NULL,
    [MG44_FLGCREAZVELOCE] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    [MG44_FLGRICHPREZZO] [decimal](1, 0) NOT NULL DEFAULT ((1)),
    [MG44_NUMSCPERC] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    [MG44_FLGRICHSCIMP] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    [MG44_NUMMAGPERC] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    [MG44_FLGRICHMAGIMP] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    [MG44_PERCPROV] [decimal](6, 3) NULL,
    [MG44_INDPROPDATAINI] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    [MG44_PROPDATAINI] [datetime] NULL,
    [MG44_INDPROPDATAFINE] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    [MG44_PROPDATAFINE] [datetime] NULL,
    [MG44_VALUTA_CG08] [char](4) NULL,
    [MG44_NUMLISTACQRIC] [decimal](3, 0) NULL,
    [MG44_RICDEFAULT] [decimal](7, 3) NOT NULL DEFAULT ((0)),
    [MG44_INDMODRICZERO] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    [MG44_FLGIVACOMPR] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    [MG44_INDARRPREZZO] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    [MG44_SCAGL_MG02] [decimal](2, 0) NULL,
    CONSTRAINT [PK_MG44_PARMAGLIST] PRIMARY KEY ([MG44_DITTA_CG18], [MG44_FLGVENACQ],
        [MG44_NUMLIST])
);

-- Article master data (the part of it that the window reads).
CREATE TABLE [MG66_ANAGRART] (
    [MG66_DITTA_CG18] [decimal](5, 0) NOT NULL,
    [MG66_CODART] [char](25) NOT NULL,
    [MG66_ALIVA_CG28] [char](4) NULL,
    [MG66_SCAGL_MG02] [decimal](2, 0) NULL,
    [MG66_FLGARRPRZ] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    [MG66_FLGOPZIONI] [decimal](1, 0) NOT NULL DEFAULT ((0)),
    CONSTRAINT [PK_MG66_ANAGRART] PRIMARY KEY ([MG66_DITTA_CG18], [MG66_CODART])
);

-- Article descriptions: the article's own (blank option) and one per option.
CREATE TABLE [MG87_DESCART] (
    [MG87_DITTA_CG18] [decimal](5, 0) NOT NULL,
    [MG87_CODART_MG66] [char](25) NOT NULL,
    [MG87_OPZIONE_MG5E] [char](20) NOT NULL,
    [MG87_DESCART] [varchar](72) NULL,
    CONSTRAINT [PK_MG87_DESCART] PRIMARY KEY ([MG87_DITTA_CG18], [MG87_CODART_MG66],
        [MG87_OPZIONE_MG5E])
);

-- Options of the articles that have them (colours, sizes, ...).
CREATE TABLE [MG5E_OPZIONI] (
    [MG5E_DITTA_CG18] [decimal](5, 0) NOT NULL,
    [MG5E_CODART_MG66] [char](25) NOT NULL,
    [MG5E_OPZIONE] [char](20) NOT NULL,
    [MG5E_DESCRIZIONE] [varchar](72) NULL,
    CONSTRAINT [PK_MG5E_OPZIONI] PRIMARY KEY ([MG5E_DITTA_CG18], [MG5E_CODART_MG66],
        [MG5E_OPZIONE])
);

-- VAT codes, common to every company.
CREATE TABLE [CG28_TABCODIVA] (
    [CG28_CODICE] [char](4) NOT NULL,
    [CG28_DESCRIZIONE] [varchar](40) NULL,
    [CG28_PERCIVA] [decimal](5, 2) NOT NULL DEFAULT ((0)),
    CONSTRAINT [PK_CG28_TABCODIVA] PRIMARY KEY ([CG28_CODICE])
);

-- Rounding brackets, common to every company: one row per bracket and price range. A range
-- starts at MG02_PREZZODA and lasts up to the next range of the same bracket; a price is
-- rounded to the nearest multiple of MG02_ARROT and then given the ending MG02_FINALE.
CREATE TABLE [MG02_SCAGLARR] (
    [MG02_CODICE] [decimal](2, 0) NOT NULL,
    [MG02_PREZZODA] [decimal](17, 6) NOT NULL,
    [MG02_DESCRIZIONE] [varchar](40) NULL,
    [MG02_ARROT] [decimal](17, 6) NOT NULL,
    [MG02_FINALE] [decimal](17, 6) NULL,
    CONSTRAINT [PK_MG02_SCAGLARR] PRIMARY KEY ([MG02_CODICE], [MG02_PREZZODA])
);

-- Media items (pictures, data sheets) that price-list rows link to: the file's name, where it
-- came from, its type and its bytes.
CREATE TABLE [CG99_MEDIA] (
    [CG99_IDMEDIA] [decimal](12, 0) NOT NULL,
    [CG99_DESCRIZIONE] [varchar](72) NULL,
    [CG99_PERCORSO] [varchar](255) NULL,
    [CG99_TIPO] [varchar](100) NULL,
    [CG99_DATI] [varbinary](max) NULL,
    CONSTRAINT [PK_CG99_MEDIA] PRIMARY KEY ([CG99_IDMEDIA])
);
