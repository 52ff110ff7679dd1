-- A site database: the statistics tables, the target page list and the
-- rows that set the colours and text sizes of the site's reports. The
-- settings tables come from settings_tables.sql.
--
-- Dates are text 'YYYY-MM-DD HH:MM:SS'; hourly rows carry the start of their
-- hour, daily rows the start of their day, and rows are found by exact date.
-- The writers select a row by its key before they insert one, so every key
-- below is unique. The date-range reads of the reports are served by keys
-- that begin with EntryDate (read day by day), or by an extra EntryDate
-- index; the visitors' hits per address by a covering address index.

-- One row per item (a category and a name). Ids are never reused, not even
-- after the statistics are reset, so old ids in other tables cannot come
-- back to life under a new name.
CREATE TABLE tblData (
  ItemID   INTEGER PRIMARY KEY AUTOINCREMENT,
  Category INTEGER,
  Name     TEXT COLLATE NOCASE,
  LastHit  DATETIME
);
CREATE UNIQUE INDEX ix_tblData_key ON tblData (Category, Name);

-- Counters per item and hour; the site totals carry ItemID 0. Bytes is a
-- double: the sums outgrow 32 bits.
CREATE TABLE tblHour (
  EntryDate    DATETIME,
  Category     INTEGER,
  ItemID       INTEGER,
  Hits         INTEGER,
  Bytes        REAL,
  EntryCount   INTEGER,
  ExitCount    INTEGER,
  SessionCount INTEGER,
  ViewTime     INTEGER
);
CREATE UNIQUE INDEX ix_tblHour_key ON tblHour (EntryDate, Category, ItemID);

-- The same per item and day.
CREATE TABLE tblDay (
  EntryDate    DATETIME,
  Category     INTEGER,
  ItemID       INTEGER,
  Hits         INTEGER,
  Bytes        REAL,
  EntryCount   INTEGER,
  ExitCount    INTEGER,
  SessionCount INTEGER,
  ViewTime     INTEGER
);
CREATE UNIQUE INDEX ix_tblDay_key ON tblDay (EntryDate, Category, ItemID);

-- One row per visitor address and day. The key begins with the address:
-- the new-or-returning test asks for any row of an address.
CREATE TABLE tblVisitors (
  EntryDate    DATETIME,
  IPaddress    TEXT COLLATE NOCASE,
  Hits         INTEGER,
  Bytes        INTEGER,
  SessionCount INTEGER,
  ViewTime     INTEGER
);
CREATE UNIQUE INDEX ix_tblVisitors_key ON tblVisitors (IPaddress, EntryDate);
CREATE INDEX ix_tblVisitors_EntryDate ON tblVisitors (EntryDate);
-- The visiting-domains report sums an address's hits from this index alone.
CREATE INDEX ix_tblVisitors_AddressHits ON tblVisitors (IPaddress, EntryDate, Hits);

-- The host name found for each visitor address.
CREATE TABLE tblDomains (
  IPaddress  TEXT COLLATE NOCASE,
  DomainName TEXT COLLATE NOCASE,
  LastHit    DATETIME
);
CREATE UNIQUE INDEX ix_tblDomains_key ON tblDomains (IPaddress);

-- Steps from one page (ItemID) to the next (ItemID2), per day.
CREATE TABLE tblPaths (
  EntryDate  DATETIME,
  ItemID     INTEGER,
  ItemID2    INTEGER,
  Hits       INTEGER,
  EntryCount INTEGER,
  ExitCount  INTEGER
);
CREATE UNIQUE INDEX ix_tblPaths_key ON tblPaths (EntryDate, ItemID, ItemID2);

-- Requests by status code (or class) and page, per day; ItemID 0 when the
-- site does not keep the page for that class.
CREATE TABLE tblHitStatus (
  EntryDate  DATETIME,
  StatusCode INTEGER,
  ItemID     INTEGER,
  Hits       INTEGER
);
CREATE UNIQUE INDEX ix_tblHitStatus_key ON tblHitStatus (EntryDate, StatusCode, ItemID);

-- Search phrases that led to target pages, per day and referrer; the rows
-- with ReferringSite 0 are the phrase over all referrers. The key's column
-- order also serves the writer's look-up of all target pages of a phrase.
CREATE TABLE tblTargetHits (
  EntryDate         DATETIME,
  ReferringSite     INTEGER,
  ReferringCategory INTEGER,
  KeywordPhrase     INTEGER,
  TargetPage        INTEGER,
  TargetHits        INTEGER,
  TotalSessions     INTEGER
);
CREATE UNIQUE INDEX ix_tblTargetHits_key
  ON tblTargetHits (EntryDate, KeywordPhrase, ReferringSite, ReferringCategory, TargetPage);

-- The site's target pages; rewritten whole whenever the list is stored.
CREATE TABLE tblTargetPages (
  Name      TEXT COLLATE NOCASE,
  DateAdded DATETIME
);

-- How the site's reports look. Colours are RRGGBB without '#', sizes are
-- pixels. A navy header row (the colour of the table borders and of the
-- help pages' banner) with white bold text, dark grey text on two pale
-- alternating row colours, and blue links.
INSERT INTO tblSettingsString (Name, StringValue) VALUES
  ('StatsPageBackgroundColor',   'FFFFFF'),
  ('StatsHeaderBackgroundColor', '304273'),
  ('StatsHeaderForegroundColor', 'FFFFFF'),
  ('StatsBackgroundColor1',      'F3F5FA'),
  ('StatsBackgroundColor2',      'E1E7F2'),
  ('StatsForegroundColor',       '222833'),
  ('StatsLinkColor',             '1F55A8'),
  ('StatsLinkColorHover',        'A63C0E');

INSERT INTO tblSettingsInteger (Name, IntegerValue) VALUES
  ('StatsHeaderTextSize', 14),
  ('StatsTextSize',       12);
