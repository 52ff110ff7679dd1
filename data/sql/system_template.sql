-- The system database: the reference lists that every log record is matched
-- against, and the help topics of the reports. Nothing in the system writes
-- it; the rows are in the files that follow this one.

-- Search engines. Each row gives one query parameter (StartString, without
-- '=') whose value is the search phrase, and the text that ends the value.
-- Rows that share an address make one engine with several parameters.
-- Addresses are written as the referrer analysis normalises a host: lower
-- case, without a leading www or search label.
CREATE TABLE tblSearchEngines (
  ServerAddress TEXT COLLATE NOCASE NOT NULL,
  ServerName    TEXT COLLATE NOCASE NOT NULL,
  StartString   TEXT COLLATE NOCASE NOT NULL,
  EndString     TEXT COLLATE NOCASE NOT NULL
);
CREATE UNIQUE INDEX ix_tblSearchEngines_key ON tblSearchEngines (ServerAddress, StartString);

-- The five user-agent pattern lists. The first row in SearchOrder whose
-- pattern matches wins, so specific rows come before general ones; each
-- list file numbers its rows in the order written.
CREATE TABLE tblBrowsers (
  SearchOrder INTEGER,
  DisplayName TEXT COLLATE NOCASE NOT NULL,
  Pattern     TEXT COLLATE NOCASE NOT NULL
);
CREATE UNIQUE INDEX ix_tblBrowsers_Pattern ON tblBrowsers (Pattern);
CREATE INDEX ix_tblBrowsers_SearchOrder ON tblBrowsers (SearchOrder);

CREATE TABLE tblBrowserAddons (
  SearchOrder INTEGER,
  DisplayName TEXT COLLATE NOCASE NOT NULL,
  Pattern     TEXT COLLATE NOCASE NOT NULL
);
CREATE UNIQUE INDEX ix_tblBrowserAddons_Pattern ON tblBrowserAddons (Pattern);
CREATE INDEX ix_tblBrowserAddons_SearchOrder ON tblBrowserAddons (SearchOrder);

CREATE TABLE tblPlatforms (
  SearchOrder INTEGER,
  DisplayName TEXT COLLATE NOCASE NOT NULL,
  Pattern     TEXT COLLATE NOCASE NOT NULL
);
CREATE UNIQUE INDEX ix_tblPlatforms_Pattern ON tblPlatforms (Pattern);
CREATE INDEX ix_tblPlatforms_SearchOrder ON tblPlatforms (SearchOrder);

CREATE TABLE tblSpiders (
  SearchOrder INTEGER,
  DisplayName TEXT COLLATE NOCASE NOT NULL,
  Pattern     TEXT COLLATE NOCASE NOT NULL
);
CREATE UNIQUE INDEX ix_tblSpiders_Pattern ON tblSpiders (Pattern);
CREATE INDEX ix_tblSpiders_SearchOrder ON tblSpiders (SearchOrder);

-- Languages: the pattern is a language code searched case-sensitively
-- in the forms "[xx]", "[xx-", "+xx-", "; xx-" and "MSNmxx-".
CREATE TABLE tblLanguages (
  SearchOrder INTEGER,
  DisplayName TEXT COLLATE NOCASE NOT NULL,
  Pattern     TEXT COLLATE NOCASE NOT NULL
);
CREATE UNIQUE INDEX ix_tblLanguages_Pattern ON tblLanguages (Pattern);
CREATE INDEX ix_tblLanguages_SearchOrder ON tblLanguages (SearchOrder);

-- The help topics that the reports' help icons open, numbered as the
-- report sections refer to them (1 General Statistics to 32 Paths).
CREATE TABLE tblhelpfiles (
  id       INTEGER PRIMARY KEY,
  helpname TEXT COLLATE NOCASE,
  helptext TEXT COLLATE NOCASE
);
