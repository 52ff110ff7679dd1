-- The projects database: one row per site. ProjectID is given by the
-- program (one more than the highest in use), not by the database.

CREATE TABLE tblProjects (
  ProjectID    INTEGER NOT NULL,
  ProjectName  TEXT COLLATE NOCASE,
  UserName     TEXT COLLATE NOCASE,
  UserPassword TEXT COLLATE NOCASE,
  DatabaseName TEXT COLLATE NOCASE
);
CREATE UNIQUE INDEX ix_tblProjects_ProjectID ON tblProjects (ProjectID);
CREATE INDEX ix_tblProjects_ProjectName ON tblProjects (ProjectName);
